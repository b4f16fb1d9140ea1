#include "launch/zip_entries.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include <unzip.h>
#include <zlib.h>

namespace qn {
namespace {

// minizip looks for the end of the central directory by stepping back from
// the end of the file a kilobyte at a time, as far as the longest comment
// a zip may carry, then reads the directory a byte at a time. A read that
// lands in that last stretch fetches all of it at once; one elsewhere (the
// directory) fetches up to the end of the file, within a bound: so a listing
// asks the platform once or twice, not once per step.
constexpr std::size_t kTail = 64 * 1024;
constexpr std::size_t kMostRead = 1024 * 1024;
constexpr std::string_view kZip64Locator("PK\x06\x07", 4);
// More entries than any ROM set has: an archive claiming more is not read.
constexpr std::uint64_t kMaxEntries = 100000;

struct Stream {
    Stream(Platform& o, std::string p) : os(o), path(std::move(p)) {}
    Platform& os;
    std::string path;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
    std::uint64_t bufferStart = 0;
    std::string buffer;
    std::string tail;  // the last part of the file, as first read
    bool failed = false;
};

voidpf ZCALLBACK openStream(voidpf opaque, const void* filename, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    Stream* stream = static_cast<Stream*>(opaque);
    if (std::strcmp(static_cast<const char*>(filename), stream->path.c_str()) != 0) return nullptr;
    const std::optional<std::uint64_t> size = stream->os.fileSize(stream->path);
    if (!size) return nullptr;
    stream->size = *size;
    return stream;
}

// Fills the buffer with a part of the file that holds the position. Kept
// out of the byte-by-byte path, which then needs no stack frame of its own.
[[gnu::noinline]] bool refill(Stream& s) {
    std::uint64_t start = s.position;
    if (s.size - start < kTail) start = s.size > kTail ? s.size - kTail : 0;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(s.size - start, kMostRead));
    std::optional<std::string> part = s.os.readFilePart(s.path, start, length);
    if (!part || start + part->size() <= s.position) return false;
    s.bufferStart = start;
    s.buffer = std::move(*part);
    if (start + s.buffer.size() == s.size && s.tail.empty()) s.tail = s.buffer;
    return true;
}

uLong ZCALLBACK readStream(voidpf, voidpf handle, void* out, uLong size) {
    Stream* s = static_cast<Stream*>(handle);
    uLong done = 0;
    while (done < size && s->position < s->size) {
        const bool buffered =
            s->position >= s->bufferStart && s->position < s->bufferStart + s->buffer.size();
        if (!buffered && !refill(*s)) {
            s->failed = true;
            break;
        }
        const std::size_t at = static_cast<std::size_t>(s->position - s->bufferStart);
        const std::size_t left = s->buffer.size() - at;
        const std::size_t n = size - done < left ? size - done : left;
        std::memcpy(static_cast<char*>(out) + done, s->buffer.data() + at, n);
        done += static_cast<uLong>(n);
        s->position += n;
    }
    return done;
}

uLong ZCALLBACK writeStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tellStream(voidpf, voidpf handle) { return static_cast<Stream*>(handle)->position; }

long ZCALLBACK seekStream(voidpf, voidpf handle, ZPOS64_T offset, int origin) {
    Stream* s = static_cast<Stream*>(handle);
    std::uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = s->position;
    else if (origin == ZLIB_FILEFUNC_SEEK_END) base = s->size;
    else if (origin != ZLIB_FILEFUNC_SEEK_SET) return -1;
    if (offset > s->size || base > s->size - offset) return -1;
    s->position = base + offset;
    return 0;
}

int ZCALLBACK closeStream(voidpf, voidpf) { return 0; }

int ZCALLBACK streamError(voidpf, voidpf handle) { return static_cast<Stream*>(handle)->failed ? 1 : 0; }

class Archive {
public:
    Archive(Platform& os, const std::string& path) : stream_(os, path) {
        zlib_filefunc64_def io{openStream, readStream, writeStream, tellStream,
                               seekStream, closeStream, streamError, &stream_};
        file_ = unzOpen2_64(path.c_str(), &io);
    }
    ~Archive() {
        if (file_) unzClose(file_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    unzFile get() const { return file_; }
    const std::string& tail() const { return stream_.tail; }

private:
    Stream stream_;
    unzFile file_ = nullptr;
};

}  // namespace

std::optional<std::vector<ZipEntry>> readZipEntries(Platform& os, const std::string& path) {
    Archive archive(os, path);
    if (!archive.get()) return std::nullopt;
    // minizip prefers a zip64 locator's signature found anywhere in the last
    // 64 KiB to the classic end record, which is all an unzip program of the
    // classic format reads: an entry's name or content holding those four
    // bytes would give a list that is not the unzip's.
    if (archive.tail().find(kZip64Locator) != std::string::npos) return std::nullopt;
    unz_global_info64 global;
    if (unzGetGlobalInfo64(archive.get(), &global) != UNZ_OK || global.number_entry > kMaxEntries)
        return std::nullopt;
    std::vector<ZipEntry> entries;
    // Each ask parses the entry's record again, so the name comes with the
    // first one, in a buffer that fits most names; a longer one asks twice.
    std::vector<char> buffer(256);
    int step = unzGoToFirstFile(archive.get());
    while (step == UNZ_OK) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive.get(), &info, buffer.data(), static_cast<uLong>(buffer.size()),
                                    nullptr, 0, nullptr, 0) != UNZ_OK)
            return std::nullopt;
        if (info.size_filename > buffer.size()) {
            buffer.resize(info.size_filename);
            if (unzGetCurrentFileInfo64(archive.get(), &info, buffer.data(), static_cast<uLong>(buffer.size()),
                                        nullptr, 0, nullptr, 0) != UNZ_OK)
                return std::nullopt;
        }
        std::string name(buffer.data(), info.size_filename);
        const bool directory = !name.empty() && (name.back() == '/' || name.back() == '\\');
        entries.push_back({std::move(name), info.uncompressed_size, static_cast<std::uint32_t>(info.crc),
                           directory});
        if (entries.size() > kMaxEntries) return std::nullopt;
        step = unzGoToNextFile(archive.get());
    }
    if (step != UNZ_END_OF_LIST_OF_FILE) return std::nullopt;
    return entries;
}

std::optional<std::uint32_t> fileCrc(Platform& os, const std::string& path) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::uint64_t at = 0;; ) {
        std::optional<std::string> part = os.readFilePart(path, at, 1u << 20);
        if (!part) return std::nullopt;
        if (part->empty()) break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(part->data()), static_cast<uInt>(part->size()));
        at += part->size();
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace qn
