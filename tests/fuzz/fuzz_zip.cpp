// An archive's entry list as a run reads it before the unzip program
// writes anything. Whatever the bytes, reading them ends with a list or with
// nothing; every entry path the launcher accepts stays below the game's
// directory; and a list read back from an archive made of names taken from
// the input gives those names, sizes and CRCs, unless the archive holds a
// zip64 locator's signature, which it must refuse.
//
// Input: the archive's bytes, and, split at line feeds, up to eight entry
// names for an archive made here.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <zlib.h>

#include "fuzz_check.h"
#include "launch/game_directory.h"
#include "launch/zip_entries.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_zip.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

// A path below the game's directory as this target reads it: '\' between
// parts, none empty, none of only dots and blanks (which Windows may read as
// a step up), no drive and no root.
bool staysBelow(const std::string& relative) {
    if (relative.find_first_of(":/") != std::string::npos) return false;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        const std::string part = relative.substr(start, end - start);
        if (part.find_first_not_of(". ") == std::string::npos) return false;
        start = end + 1;
    }
    return true;
}

std::uint32_t crcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static MemoryPlatform os;
    const std::string input(reinterpret_cast<const char*>(data), size);

    os.writeFile("C:\\In\\a.zip", input);
    if (const auto entries = readZipEntries(os, "C:\\In\\a.zip")) {
        for (const ZipEntry& entry : *entries) {
            const bool slashed = !entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\');
            QN_CHECK(entry.directory == slashed, shown(entry.name));
            const std::optional<std::string> path = archiveEntryPath(entry.name);
            if (path && !path->empty()) QN_CHECK(staysBelow(*path), shown(entry.name) + " -> " + shown(*path));
        }
    }

    std::vector<std::pair<std::string, std::string>> made;
    for (size_t start = 0; start < input.size() && made.size() < 8;) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string name = input.substr(start, end - start);
        made.emplace_back(name, name);
        start = end + 1;
    }
    // minizip finds no end record at the very start of a file, so it reads
    // no archive without entries: a run then keeps every file aside.
    if (made.empty()) return 0;
    const std::string zip = storedZip(made);
    os.writeFile("C:\\In\\made.zip", zip);
    const auto back = readZipEntries(os, "C:\\In\\made.zip");
    // Bytes in its last 64 KiB that minizip would take for a zip64 locator
    // make it refuse the archive.
    const size_t last = zip.size() - std::min<size_t>(zip.size(), 65536);
    if (zip.find(std::string("PK\x06\x07", 4), last) != std::string::npos) {
        QN_CHECK(!back, "a zip64 locator's signature inside the archive");
        return 0;
    }
    QN_CHECK(back && back->size() == made.size(), "entries read back: " + std::to_string(made.size()));
    for (size_t i = 0; i < made.size(); ++i) {
        const ZipEntry& entry = (*back)[i];
        QN_CHECK(entry.name == made[i].first && entry.size == made[i].second.size() &&
                     entry.crc == crcOf(made[i].second),
                 shown(made[i].first));
    }
    return 0;
}
