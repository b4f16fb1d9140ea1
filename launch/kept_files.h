// Keeping the user's items through a run. Before a run writes into a game's
// directory (the archive unpacked, a driver copied in), everything in that
// directory, files and folders whole, moves to a folder made for the run
// beside it ("<game> set aside"), out of the unzip program's reach. Right
// after the unzip each item whose place is still free goes back; after the
// run's clean-up the rest goes back over what the run left there. What the
// emulator writes stands, but for what it writes at a user's item's place.
//
// While the run goes on, a record under the program directory names the
// game's directory, that folder, the run's children and what the clean-up
// deletes, so that a start after a launcher that ended during the run
// finishes it as its clean-up would have. A lock on the game's directory,
// held for the whole run, keeps a second launcher off that game only. Both
// know the directory by its identity, not by how its path is spelt.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/set_aside.h"
#include "platform/platform.h"

namespace qn {

class KeptFiles {
public:
    // Full paths, each with its backslash; the game's directory exists.
    KeptFiles(Platform& os, std::string programDir, std::string emulatorDir, std::string gameName);
    // Lets go of the lock only: what is still aside stays for the next start.
    ~KeptFiles();
    KeptFiles(const KeptFiles&) = delete;
    KeptFiles& operator=(const KeptFiles&) = delete;

    // Takes the game's lock, after an earlier run of the game is finished.
    // Anything but true has told the user why the game is not run.
    bool begin();
    // Everything in the game's directory goes aside, the record written
    // first with the names of the run's own files (below the game's
    // directory) that the clean-up deletes. False, with the user told, when
    // anything could not: then everything is back.
    bool setAside(const std::vector<std::string>& runsFiles);
    // A child of the run: the next start leaves everything alone while it runs.
    void noteChild(const ChildId& child);
    // Items whose place the run has left free go back at once.
    void returnFree();
    // Everything goes back over what the run left; the record goes. False
    // when an item could not be moved: the record then stays for the next
    // start (notPutBackMessage tells the user). Items kept aside for what
    // is in their way are told of here.
    bool putBack();
    std::string notPutBackMessage() const;

    // At start-up: every earlier run under the emulator directory finished,
    // the user told of anything that could not be put back.
    static void recoverAll(Platform& os, const std::string& programDir, const std::string& emulatorDir);
    // Where the record of a game's directory is kept (the directory exists).
    static std::string recordPath(Platform& os, const std::string& programDir, const std::string& gameDir);

private:
    static std::string recordPathFor(const std::string& programDir, const std::string& directoryKey);
    bool saveRecord();
    void dropRecord();

    Platform& os_;
    std::string programDir_;
    std::string emulatorDir_;
    std::string gameName_;
    std::string gameDir_;
    std::string recordPath_;  // known once begun, with a program directory
    std::string aside_;  // the folder's name in the emulator directory, once chosen
    std::unique_ptr<FileLock> lock_;
    std::vector<std::string> runsFiles_;
    std::vector<ChildId> children_;
    bool recorded_ = false;
};

}  // namespace qn
