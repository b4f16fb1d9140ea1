// Keeping the user's items through a run. The unzip program writes into a
// folder made for the run beside the game's directory ("<game>.unpacked");
// what it wrote comes into the game's directory item by item, and only the
// user's items at those places move, to a second folder beside it ("<game>
// set aside"), to come back after the run over what the run left there
// (launch/bring_in.h). Nothing else the user keeps is moved, opened or
// rewritten.
//
// While the run goes on, a record under the program directory, written
// before anything moves, names the game's directory and the two folders by
// identity, the run's children, the items the clean-up deletes (by identity)
// and the items set aside, so that a start after a launcher that ended
// during the run finishes it as its clean-up would have, and deletes only
// what the run itself brought. A lock on the game's directory, held for the
// whole run, keeps a second launcher off that game only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/bring_in.h"
#include "launch/run_record.h"
#include "platform/platform.h"

namespace qn {

class KeptFiles {
public:
    // Full paths, each with its backslash; the game's directory exists.
    KeptFiles(Platform& os, std::string programDir, std::string emulatorDir, std::string gameName);
    // Lets go of the lock only: what the record names stays for the next start.
    ~KeptFiles();
    KeptFiles(const KeptFiles&) = delete;
    KeptFiles& operator=(const KeptFiles&) = delete;

    // Takes the game's lock, after an earlier run of the game is finished.
    // Anything but true has told the user why the game is not run.
    bool begin();
    // Makes the folder the unzip program writes into, and records it.
    // False, with the user told why, when either could not be done.
    bool makeUnpackFolder();
    const std::string& unpackFolder() const { return unpackDir_; }
    // A child of the run: the next start leaves everything alone while it runs.
    void noteChild(const ChildId& child);
    // The run stops before anything came in: its folder and record go.
    void abandon();
    // Everything in the unpacked folder comes into the game's directory;
    // `runsOwn` names (below it) the items the clean-up deletes. False, with
    // the user told why, when the run must stop: the game's directory is
    // then as it was.
    bool bringIn(const std::vector<std::string>& runsOwn);
    // The run's own items deleted, the user's back over what the run left,
    // the folders and the record gone. False when an item could not be put
    // back: the record then stays for the next start (notPutBackMessage
    // tells the user).
    bool finish();
    std::string notPutBackMessage() const;

    // At start-up: every earlier run under the emulator directory finished,
    // the user told of anything that could not be put back or trusted.
    static void recoverAll(Platform& os, const std::string& programDir, const std::string& emulatorDir);
    // Where the record of a game's directory is kept (the directory exists).
    static std::string recordPath(Platform& os, const std::string& programDir, const std::string& gameDir);

private:
    static std::string recordPathFor(const std::string& programDir, const std::string& directoryKey);
    bool saveRecord();
    // Names a folder beside the game's directory in the record, makes it
    // and records its identity; its full path, or nothing with the user told.
    std::string makeFolder(MadeFolder& made, const char* suffix, const std::string& what);
    std::string reason() const;
    void undo(size_t movesDone);

    Platform& os_;
    std::string programDir_;
    std::string emulatorDir_;
    std::string gameName_;
    std::string gameDir_;
    std::string unpackDir_;
    std::string recordPath_;  // known once begun, with a program directory
    std::unique_ptr<FileLock> lock_;
    RunRecord record_;
    std::vector<Placement> moves_;
    std::uint32_t error_ = 0;  // the system's error of the last failure
    bool recorded_ = false;
};

}  // namespace qn
