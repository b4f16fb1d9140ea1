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

}  // namespace qn
