#include "launch/child_paths.h"

namespace qn {

std::optional<std::string> codePagePath(Platform& os, const std::string& directory) {
    if (const std::optional<std::string> shortForm = os.shortPathName(directory))
        if (os.codePageSpells(*shortForm)) return shortForm;
    if (os.codePageSpells(directory)) return directory;
    return std::nullopt;
}

std::string unspellableDirectoryMessage(const std::string& directory) {
    return "The directory " + directory +
           " has no short (8.3) name, and its name has letters the system's code page cannot "
           "spell, so the unzip program could not open it. Rename the directory, or turn on "
           "short names for its drive, and run the game again.";
}

}  // namespace qn
