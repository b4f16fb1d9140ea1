// Reading zip archives held in memory: the central directory, and each
// entry's data, stored or deflated, checked against its size and CRC-32.
// No Win32 here; the program around it does the files and directories.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qn_unzip {

struct ZipEntry {
    std::string name;  // as the archive has it, '/' between parts
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t localHeaderOffset = 0;

    bool isDirectory() const {
        return !name.empty() && (name.back() == '/' || name.back() == '\\');
    }
};

class ZipArchive {
public:
    // Takes the archive's bytes and reads its central directory. False, with
    // a one-line reason, when they are not a zip archive this can read.
    bool open(std::vector<unsigned char> bytes, std::string& error);

    const std::vector<ZipEntry>& entries() const { return entries_; }

    // The entry's contents, after checking the local header, the method,
    // the unpacked size and the CRC-32. False with a one-line reason.
    bool extract(const ZipEntry& entry, std::vector<unsigned char>& out, std::string& error) const;

private:
    std::vector<unsigned char> data_;
    std::vector<ZipEntry> entries_;
    size_t centralDirectoryStart_ = 0;
};

// Turns an entry name into a path below the target directory with '\'
// between parts. False when the entry would land outside it: a leading slash
// or backslash, a drive letter or any ':', a ".." part (or one of only dots
// and spaces, which Windows may shorten to ".."). "." and empty parts are
// dropped, so `relative` may come back empty (the target itself).
bool safeRelativePath(const std::string& name, std::string& relative);

}  // namespace qn_unzip
