// The record a run keeps under the program directory while it has anything
// of its own beside or in a game's directory, and what tells directories
// apart: their identity as the file system knows it, not how a path spells
// them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

// End the names of the folders a run makes beside a game's directory: the
// unzip program's target, and where the user's items at the places of the
// archive's wait. A short name never holds a blank, so no game's own
// directory is named like the second; the first has none, so that the
// unzip program can be given it where there are no short names.
inline const char* const kUnpackSuffix = ".unpacked";
inline const char* const kAsideSuffix = " set aside";

// A folder the run made in the emulator directory, known by its identity
// recorded when it was made.
// Its name is recorded before it is made ("pending"), so that a launcher
// ended in between leaves nothing unnamed; such a folder is only ever
// removed when empty.
struct MadeFolder {
    std::string name;
    std::string identity;
    bool empty() const { return name.empty(); }
    bool pending() const { return identity == "-"; }
};

// An item the run brought into the game's directory that its clean-up
// deletes: where it is below the directory, and its identity.
struct BroughtItem {
    std::string path;
    std::string identity;
};

// An item of the user's set aside, below the game's directory, and the
// archive's item that took its place when its name differs by more than
// letter case (a short alias).
struct KeptItem {
    std::string path;
    std::string over;
    std::string overIdentity;
};

struct RunRecord {
    std::string gameDir;    // full path, with its backslash
    std::string gameId;     // the directory's identity
    MadeFolder unpacked;    // the unzip program's target
    MadeFolder aside;       // the user's items set aside, under their paths
    std::vector<ChildId> children;
    std::vector<BroughtItem> brought;
    std::vector<KeptItem> setAside;
};

std::string withBackslash(std::string dir);
std::string recordsDirectory(const std::string& programDir);

// The identity of an existing directory, or its spelling where the file
// system gives none.
std::string identity(Platform& os, const std::string& dir);

// The directory as a name of its own, the same however its path is spelt
// (a short name, other letter case, a link to it).
std::string directoryKey(Platform& os, const std::string& dir);

// Whether a run writing into `gameDir` could reach the program's own files
// or its records: it is the program directory, holds it, or is or lies in
// the records' directory.
bool reachesProgram(Platform& os, const std::string& gameDir, const std::string& programDir);

// Whether `gameDir` lies directly in `emulatorDir`.
bool isBelow(Platform& os, const std::string& gameDir, const std::string& emulatorDir);

// A record's text, and the record in a text (nothing when it is not one).
std::string recordText(const RunRecord& record);
std::optional<RunRecord> parseRecord(const std::string& text);

// Whether a record read from `path` is one this program wrote for a game's
// directory directly below `emulatorDir` as it stands now: the directory
// and the folders it names are the very ones made for that run (by
// identity), every path it names stays inside them, and it reaches nothing
// of the program's.
bool trustworthy(Platform& os, const RunRecord& record, const std::string& path, const std::string& programDir,
                 const std::string& emulatorDir);

// Written whole beside it, flushed, then put in its place. False with the
// system's error number in `error`.
bool writeRecord(Platform& os, const std::string& programDir, const std::string& path, const RunRecord& record,
                 std::uint32_t& error);
void dropRecordFile(Platform& os, const std::string& programDir, const std::string& path);
bool isUnfinishedRecordName(const std::string& name);
bool isRecordName(const std::string& name);
// A record not trusted is kept under this name for the user to look at.
std::string setApartName(const std::string& path);
bool isSetApartName(const std::string& name);

}  // namespace qn
