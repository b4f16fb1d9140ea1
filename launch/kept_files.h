// Keeping the user's files through a run. Before a run writes into a game's
// directory (the archive unpacked, a driver copied in), each file of the
// user's that it would overwrite is moved aside by a rename in the same
// directory, whatever its size or attributes; after the run's clean-up the
// run's version goes and the user's file comes back. Nothing else in the
// directory is touched, so whatever the emulator writes stands.
//
// While files are aside, a record under the program directory names them,
// so that the next start puts them back after a launcher that ended during
// the run. It puts a file back only over what the run left there; anything
// else it keeps beside the user's file and says where. A run that overwrites
// nothing of the user's writes no record. A lock named after the game's
// directory, held for the whole run, keeps a second launcher off that game
// only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

// A file of the user's that a run would overwrite.
struct AtRisk {
    std::string name;                   // below the game's directory, '\' between parts
    std::optional<std::uint64_t> size;  // of what the run writes there, when known
    std::optional<std::uint32_t> crc;
};

// Whether one directory is the other, or lies inside it (full paths).
bool directoriesOverlap(const std::string& a, const std::string& b);

class KeptFiles {
public:
    // Full paths, each with its backslash.
    KeptFiles(Platform& os, std::string programDir, std::string gameDir);
    // Lets go of the lock only: files still aside stay for the next start.
    ~KeptFiles();
    KeptFiles(const KeptFiles&) = delete;
    KeptFiles& operator=(const KeptFiles&) = delete;

    // Takes the game's lock, after an earlier run of the game is finished.
    // Anything but true has told the user why the game is not run.
    bool begin();
    // Moves the files aside, the record written first. False, with the user
    // told, when any could not be: then nothing is aside.
    bool moveAside(const std::vector<AtRisk>& files);
    // Whether the user's file of that name is aside now.
    bool isAside(const std::string& name) const;
    // A child of the run: the next start leaves the files alone while it runs.
    void noteChild(const ChildId& child);
    // Files whose place the run has left empty go back at once.
    void returnUntouched();
    // The run's version of each file goes and the user's comes back; the
    // record goes with the last one. False when any could not: the record
    // then stays for the next start (notPutBackMessage tells the user).
    bool putBack();
    std::string notPutBackMessage() const;

    // At start-up: every earlier run's files put back, the user told of any
    // that could not be or were kept beside a newer file.
    static void recoverAll(Platform& os, const std::string& programDir);
    // Where the record of a game's directory is kept.
    static std::string recordPath(const std::string& programDir, const std::string& gameDir);

private:
    struct Moved {
        AtRisk file;
        std::string aside;  // name below the game's directory
    };
    bool saveRecord();
    void dropRecord();

    Platform& os_;
    std::string programDir_;
    std::string gameDir_;
    std::unique_ptr<FileLock> lock_;
    std::vector<Moved> moved_;
    std::vector<ChildId> children_;
};

}  // namespace qn
