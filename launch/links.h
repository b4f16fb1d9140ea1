// Links that leave the launcher: web and mail addresses go to the program
// registered for HTML files, readme files to the shell.
#pragma once

#include <string>

#include "platform/platform.h"

namespace qn {

// The browser's command line for an address with its `addition` (" " or
// " mailto:"): in place of the command's first "%1" or "%L", in the quotes
// the command puts around it, else appended after the command.
std::string browserCommandLine(const std::string& browserCommand, const std::string& addition,
                               const std::string& address);

// Starts that command line in the launcher's current directory. Nothing is
// said when it cannot start.
void openLink(Platform& os, const std::string& browserCommand, const std::string& addition,
              const std::string& address);

// Opens readme.txt of a directory with the shell.
void openReadme(Platform& os, const std::string& directory);

}  // namespace qn
