// Keeping the user's files safe across a run. Before the launcher writes
// into a game's directory (unpacking the archive, copying a driver in), it
// copies the files there that the run could overwrite into a directory of
// its own under the program directory, with a journal naming them and the
// files the run adds. After the run it removes the run's files and puts back
// every file of the user's that the run changed. A run that the process
// never came back from is finished the same way at the next start.
//
// The journal is written twice before anything in the game's directory is
// touched: first listing the copies to be made, then, once they all are,
// again with a last line "ready". Only a ready journal puts files back; any
// other is a backup that was never used, and only its copies are removed.
// A lock file held for the whole run keeps a second launcher from taking
// over a run that is still going on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

// The backup directory under the program directory, with its backslash;
// empty when the program directory is not a full path.
std::string runBackupDirectory(const std::string& mainPath);

// Full paths of the regular files in a directory and its subdirectories,
// down to a few levels.
std::vector<std::string> filesBelow(Platform& os, const std::string& directory);

class RunJournal {
public:
    // `directory`: the backup directory (runBackupDirectory); empty makes a
    // journal that keeps nothing.
    RunJournal(Platform& os, std::string directory);
    // Lets go of the lock only: a run that is left without finish() is
    // finished at the next start.
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    enum class Start {
        Kept,    // the copies are made and the journal is ready
        Busy,    // another launcher's run holds the backup directory
        Stuck,   // an earlier run's files could not be put back
        Failed,  // the journal or a copy could not be written
    };
    // `userFiles`: full paths of the files in the game's directory that the
    // run may overwrite; `runFiles`: full paths of files the run adds there
    // and its clean-up removes. Anything but Kept leaves nothing behind.
    Start start(const std::vector<std::string>& userFiles, const std::vector<std::string>& runFiles);
    // After the launcher's own writes: drops the copies of files those left
    // as they were, so whatever the emulator later does to them stands.
    void forgetUnchanged();
    // Removes the run's files, puts back the user's files that the run
    // changed and removes the copies and the journal. False when a file
    // could not be put back: everything then stays for the next start.
    bool finish();
    bool active() const { return lock_ != nullptr; }

    enum class Recovery { Nothing, Finished, Busy, Failed };
    // At start-up: one look for the backup directory, and when one is
    // left, its run finished (or its unused backup removed).
    static Recovery recover(Platform& os, const std::string& directory);

    // The message shown when files could not be put back.
    static std::string notPutBackMessage(const std::string& directory);

private:
    struct Kept {
        std::string copy;  // file name in the backup directory
        std::string path;  // the user's file
    };
    enum class Lock { Held, Busy, Failed };
    Lock lock();
    // Reads a journal left by an earlier run: whether it is ready.
    bool load();
    std::string text(bool ready) const;
    bool complete();
    void discard();
    void release();

    Platform& os_;
    std::string dir_;
    std::unique_ptr<FileLock> lock_;
    std::vector<Kept> kept_;
    std::vector<std::string> dropped_;
};

}  // namespace qn
