// The record a run keeps under the program directory while it may leave
// the user's items aside, and what tells directories apart: their identity
// as the file system knows it, not how a path spells them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

// Ends the name of the folder beside a game's directory that holds its
// items during a run. A short name never holds a blank, so no game's own
// directory is ever named so.
inline const char* const kAsideSuffix = " set aside";

struct RunRecord {
    std::string gameDir;                 // full path, with its backslash
    std::string aside;                   // the folder's name in the emulator directory; empty: nothing aside
    std::vector<ChildId> children;
    std::vector<std::string> runsFiles;  // below the game's directory: what the clean-up deletes
};

std::string withBackslash(std::string dir);
std::string recordsDirectory(const std::string& programDir);

// The directory as a name of its own, the same however its path is spelt
// (a short name, other letter case, a link to it).
std::string directoryKey(Platform& os, const std::string& dir);

// Whether a run writing into `gameDir` could reach the program's own files
// or its records: it is the program directory, holds it, or is or lies in
// the records' directory.
bool reachesProgram(Platform& os, const std::string& gameDir, const std::string& programDir);

// The record at `path`, only when this program wrote it for a game's
// directory directly below `emulatorDir` that reaches nothing of the
// program's, and names only places this program makes.
std::optional<RunRecord> readRecord(Platform& os, const std::string& path, const std::string& programDir,
                                    const std::string& emulatorDir);
// Written whole beside it, then put in its place.
bool writeRecord(Platform& os, const std::string& programDir, const std::string& path, const RunRecord& record);
void dropRecordFile(Platform& os, const std::string& programDir, const std::string& path);
bool isUnfinishedRecordName(const std::string& name);

}  // namespace qn
