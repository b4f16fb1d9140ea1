// What an unzip program run as "-o <archive> <target>" does to the target
// directory, for tests: each entry replaces what is at its place, read-only
// or not, through the platform's change hook (a "process" ended there
// leaves the file half written). The behaviours are those of the unzip
// programs in use: PKUNZIP 2.04g puts every entry into the target by its
// name alone and cuts long names to 8.3 capitals; later ones keep folders
// and long names as the archive spells them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace qn {

struct UnzipBehaviour {
    bool keepFolders = false;  // else names alone, folder entries dropped
    bool dosNames = true;      // long names cut to 8.3, in capitals
};

// Unpacks entries (name, content; a name ending in '/' is a folder) into
// `target`, a full path. Entries naming a place outside it are skipped, as
// are files whose place holds a folder.
void unzipInto(MemoryPlatform& os, const std::string& target,
               const std::vector<std::pair<std::string, std::string>>& entries, UnzipBehaviour how);

}  // namespace qn
