// Installing the program: its files copied from the directory it was started
// from into the one the user chose, the pictures into screens\ there.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace qn {

// Copies the five program files, then the three pictures, and stops at the
// first that fails: the message for the user then. Into the directory the
// program runs from, only the pictures are copied: the program files are
// there already, and a file cannot be copied onto itself. `target` ends in
// a backslash.
std::optional<std::string> installProgramFiles(Platform& os, const std::string& source,
                                               const std::string& target);

// The shortcuts the first run's configuration places: the user's desktop
// and start-menu folders as the shell names them, and the files' names there.
inline const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const char* const kDesktopShortcut = "QnLaunch v2.09.lnk";
inline const char* const kProgramsShortcut = "Tolvane's QUON FrontEnd v2.09.lnk";

// Uninstalling: deletes those two shortcuts where they point at `program`
// (letter case aside); any other file of those names is the user's.
void removeShortcuts(Platform& os, const std::string& program);

}  // namespace qn
