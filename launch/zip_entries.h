// What an unzip program will write: the list of a zip archive's entries,
// read through the platform with zlib's minizip, without unpacking anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

struct ZipEntry {
    std::string name;  // as the archive has it
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool directory = false;
};

// Every entry of the archive, in its order; nothing when the file cannot
// be read as a zip archive (then it may hold anything).
std::optional<std::vector<ZipEntry>> readZipEntries(Platform& os, const std::string& archive);

// CRC-32 of a file's content, read a part at a time; nothing when it
// cannot be read.
std::optional<std::uint32_t> fileCrc(Platform& os, const std::string& path);

}  // namespace qn
