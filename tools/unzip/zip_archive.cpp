#include "tools/unzip/zip_archive.h"

#include <zlib.h>

#include <cstdio>

namespace qn_unzip {
namespace {

const uint32_t kLocalHeader = 0x04034b50;
const uint32_t kCentralHeader = 0x02014b50;
const uint32_t kEndOfCentralDirectory = 0x06054b50;
const size_t kLocalHeaderSize = 30;
const size_t kCentralHeaderSize = 46;
const size_t kEndRecordSize = 22;
const size_t kMaxCommentSize = 0xFFFF;
// Entries are ROM images; anything near the 32-bit address space is damage.
const uint32_t kMaxEntrySize = 0x40000000;

uint16_t read16(const std::vector<unsigned char>& d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

uint32_t read32(const std::vector<unsigned char>& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

std::string hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(value));
    return text;
}

// The end record nearest the end whose comment reaches exactly to the end of
// the file; failing that, the nearest one whose comment fits at all.
bool findEndRecord(const std::vector<unsigned char>& d, size_t& at) {
    if (d.size() < kEndRecordSize) return false;
    const size_t last = d.size() - kEndRecordSize;
    const size_t first = last > kMaxCommentSize ? last - kMaxCommentSize : 0;
    bool found = false;
    for (size_t pos = last + 1; pos-- > first;) {
        if (read32(d, pos) != kEndOfCentralDirectory) continue;
        const size_t end = pos + kEndRecordSize + read16(d, pos + 20);
        if (end == d.size()) {
            at = pos;
            return true;
        }
        if (end < d.size() && !found) {
            at = pos;
            found = true;
        }
    }
    return found;
}

bool inflateRaw(const unsigned char* in, uint32_t inSize, uint32_t expected,
                std::vector<unsigned char>& out, std::string& error) {
    // One byte of room past the recorded size tells "too long" from "exact".
    out.assign(static_cast<size_t>(expected) + 1, 0);
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        error = "cannot start inflating";
        return false;
    }
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = inSize;
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (result == Z_STREAM_END && produced == expected) {
        out.resize(expected);
        return true;
    }
    if (result == Z_DATA_ERROR)
        error = "corrupt compressed data";
    else if (produced > expected)
        error = "unpacks to more than its recorded size " + std::to_string(expected);
    else if (result == Z_STREAM_END)
        error = "unpacks to " + std::to_string(produced) + " bytes, not its recorded " + std::to_string(expected);
    else
        error = "compressed data ends early";
    return false;
}

}  // namespace

bool ZipArchive::open(std::vector<unsigned char> bytes, std::string& error) {
    data_ = std::move(bytes);
    entries_.clear();
    const std::vector<unsigned char>& d = data_;
    size_t end = 0;
    if (!findEndRecord(d, end)) {
        error = "not a zip archive (no end of central directory)";
        return false;
    }
    const uint16_t disk = read16(d, end + 4);
    const uint16_t directoryDisk = read16(d, end + 6);
    const uint16_t entriesHere = read16(d, end + 8);
    const uint16_t entriesTotal = read16(d, end + 10);
    const uint32_t directorySize = read32(d, end + 12);
    const uint32_t directoryOffset = read32(d, end + 16);
    if (disk != 0 || directoryDisk != 0 || entriesHere != entriesTotal) {
        error = "multi-part archives are not supported";
        return false;
    }
    if (entriesTotal == 0xFFFF || directoryOffset == 0xFFFFFFFF || directorySize == 0xFFFFFFFF) {
        error = "zip64 archives are not supported";
        return false;
    }
    if (static_cast<uint64_t>(directoryOffset) + directorySize > end) {
        error = "corrupt archive (central directory outside the file)";
        return false;
    }
    centralDirectoryStart_ = directoryOffset;

    size_t pos = directoryOffset;
    const size_t directoryEnd = static_cast<size_t>(directoryOffset) + directorySize;
    for (unsigned i = 0; i < entriesTotal; ++i) {
        if (pos + kCentralHeaderSize > directoryEnd || read32(d, pos) != kCentralHeader) {
            error = "corrupt archive (central directory entry " + std::to_string(i + 1) + ")";
            return false;
        }
        const size_t nameSize = read16(d, pos + 28);
        const size_t extraSize = read16(d, pos + 30);
        const size_t commentSize = read16(d, pos + 32);
        const size_t next = pos + kCentralHeaderSize + nameSize + extraSize + commentSize;
        if (next > directoryEnd) {
            error = "corrupt archive (central directory entry " + std::to_string(i + 1) + ")";
            return false;
        }
        ZipEntry e;
        e.flags = read16(d, pos + 8);
        e.method = read16(d, pos + 10);
        e.dosTime = read16(d, pos + 12);
        e.dosDate = read16(d, pos + 14);
        e.crc = read32(d, pos + 16);
        e.compressedSize = read32(d, pos + 20);
        e.size = read32(d, pos + 24);
        e.localHeaderOffset = read32(d, pos + 42);
        e.name.assign(reinterpret_cast<const char*>(&d[pos + kCentralHeaderSize]), nameSize);
        entries_.push_back(std::move(e));
        pos = next;
    }
    return true;
}

bool ZipArchive::extract(const ZipEntry& entry, std::vector<unsigned char>& out, std::string& error) const {
    const std::vector<unsigned char>& d = data_;
    out.clear();
    const size_t at = entry.localHeaderOffset;
    if (at + kLocalHeaderSize > centralDirectoryStart_ || read32(d, at) != kLocalHeader) {
        error = "corrupt archive (no local header)";
        return false;
    }
    if (entry.flags & 1) {
        error = "encrypted entries are not supported";
        return false;
    }
    if (entry.size > kMaxEntrySize) {
        error = "entry too large";
        return false;
    }
    // The local header's own name and extra lengths place the data; its
    // extra field often differs from the central directory's.
    const size_t dataStart = at + kLocalHeaderSize + read16(d, at + 26) + read16(d, at + 28);
    if (dataStart > centralDirectoryStart_ || entry.compressedSize > centralDirectoryStart_ - dataStart) {
        error = "corrupt archive (entry data outside the file)";
        return false;
    }
    const unsigned char* data = d.data() + dataStart;
    if (entry.method == 0) {
        if (entry.compressedSize != entry.size) {
            error = "stored entry whose sizes differ";
            return false;
        }
        out.assign(data, data + entry.size);
    } else if (entry.method == 8) {
        if (!inflateRaw(data, entry.compressedSize, entry.size, out, error)) return false;
    } else {
        error = "compression method " + std::to_string(entry.method) + " is not supported";
        return false;
    }
    const uint32_t crc = static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), out.empty() ? Z_NULL : out.data(), static_cast<uInt>(out.size())));
    if (crc != entry.crc) {
        error = "CRC error (recorded " + hex32(entry.crc) + ", unpacked " + hex32(crc) + ")";
        out.clear();
        return false;
    }
    return true;
}

bool safeRelativePath(const std::string& name, std::string& relative) {
    relative.clear();
    if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
    if (name.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t stop = name.find_first_of("/\\", start);
        if (stop == std::string::npos) stop = name.size();
        const std::string part = name.substr(start, stop - start);
        start = stop + 1;
        if (part.empty() || part == ".") continue;
        if (part.find_first_not_of(". ") == std::string::npos) return false;
        if (!relative.empty()) relative += '\\';
        relative += part;
    }
    return true;
}

}  // namespace qn_unzip
