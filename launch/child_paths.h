// Paths for a child that reads its command line in the system's code page
// (the unzip program, a DOS-era program): the names it can open.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace qn {

// The directory's short (8.3) form where the code page spells it, else the
// directory itself where the code page spells that; nothing when neither.
std::optional<std::string> codePagePath(Platform& os, const std::string& directory);

// What the user is told when a run stops at such a directory.
std::string unspellableDirectoryMessage(const std::string& directory);

}  // namespace qn
