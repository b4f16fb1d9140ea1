// Zip archives for tests: the bytes of a stored (uncompressed) archive, as
// any zip program makes them, to put in the in-memory file system.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qn {

// Entries by name and content, in order; a name ending in '/' is a directory.
std::string storedZip(const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace qn
