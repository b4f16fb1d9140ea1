// Links that leave the launcher: web and mail addresses go to the program
// registered for HTML files, readme files to the shell.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qn {

// Starts the browser's command with `addition` and the address after it,
// in the launcher's current directory. Nothing is said when it cannot start.
void openLink(Platform& os, const std::string& browserCommand, const std::string& addition,
              const std::string& address);

// Opens readme.txt of a directory with the shell.
void openReadme(Platform& os, const std::string& directory);

}  // namespace qn
