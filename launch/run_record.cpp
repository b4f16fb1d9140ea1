#include "launch/run_record.h"

#include <cstdint>
#include <cstdio>

#include "launch/game_directory.h"
#include "platform/ascii.h"

namespace qn {
namespace {

const char* const kFolder = "RunRecords";
const char* const kHeader = "QnLaunch run record 3";
const char* const kSetApart = ".not-trusted";

bool sameDirectory(Platform& os, const std::string& a, const std::string& b) {
    return identity(os, a) == identity(os, b);
}

// The directory and each one above it, as the path spells them.
std::vector<std::string> selfAndAbove(std::string dir) {
    std::vector<std::string> out;
    dir = withBackslash(dir);
    while (dir.size() > 3) {
        out.push_back(dir);
        const size_t cut = dir.rfind('\\', dir.size() - 2);
        if (cut == std::string::npos || cut < 2) break;
        dir = dir.substr(0, cut + 1);
    }
    if (dir.size() <= 3) out.push_back(dir);
    return out;
}

std::optional<std::uint64_t> number(const std::string& text) {
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    try {
        return std::stoull(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t cut; (cut = text.find('\n', start)) != std::string::npos; start = cut + 1)
        out.push_back(text.substr(start, cut - start));
    out.push_back(text.substr(start));
    for (std::string& line : out)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    return out;
}

// "<identity>|<name>": an identity never holds a bar.
bool split(const std::string& value, std::string& identity, std::string& name) {
    const size_t bar = value.find('|');
    if (bar == std::string::npos || bar == 0 || bar + 1 == value.size()) return false;
    identity = value.substr(0, bar);
    name = value.substr(bar + 1);
    return true;
}

bool readFolder(const std::string& value, MadeFolder& folder) {
    return folder.empty() && split(value, folder.identity, folder.name);
}

bool readLine(const std::string& line, RunRecord& record) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return line.empty();
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "gameid" && record.gameId.empty()) {
        record.gameId = value;
        return !value.empty();
    }
    if (key == "unpacked") return readFolder(value, record.unpacked);
    if (key == "aside") return readFolder(value, record.aside);
    if (key == "delete") {
        BroughtItem item;
        if (!split(value, item.identity, item.path) || !staysInsideGameDirectory(item.path)) return false;
        record.brought.push_back(item);
        return true;
    }
    if (key == "kept") {
        record.setAside.push_back({value, {}});
        return staysInsideGameDirectory(value);
    }
    if (key == "over") {
        if (record.setAside.empty() || !record.setAside.back().over.empty()) return false;
        KeptItem& item = record.setAside.back();
        return split(value, item.overIdentity, item.over) && staysInsideGameDirectory(item.over);
    }
    if (key != "child") return false;
    const size_t comma = value.find(',');
    const auto id = number(value.substr(0, comma));
    const auto created = comma == std::string::npos ? std::nullopt : number(value.substr(comma + 1));
    if (!id || !created || *id > 0xFFFFFFFFu) return false;
    record.children.push_back({static_cast<std::uint32_t>(*id), *created});
    return true;
}

// Only the folders this program makes beside the game's directory:
// "<game><suffix>", maybe with a number.
bool isMadeFolderOf(const std::string& folder, const std::string& game, const char* suffix) {
    const std::string stem = game + suffix;
    if (folder.compare(0, stem.size(), stem) != 0) return false;
    const std::string rest = folder.substr(stem.size());
    return rest.empty() || (rest.size() <= 5 && rest[0] == ' ' && number(rest.substr(1)));
}

// A folder the record names is the one made for the run: gone, or the
// same by identity and no link.
bool isTheMadeFolder(Platform& os, const MadeFolder& folder, const std::string& emulatorDir, const std::string& game,
                     const char* suffix) {
    if (folder.empty()) return true;
    if (!isMadeFolderOf(folder.name, game, suffix)) return false;
    if (folder.pending()) return true;
    const std::optional<Platform::ItemFacts> facts = os.itemFacts(emulatorDir + folder.name);
    return !facts || (facts->folder && !facts->link && facts->identity == folder.identity);
}

}  // namespace

std::string withBackslash(std::string dir) {
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

std::string recordsDirectory(const std::string& programDir) { return programDir + kFolder + "\\"; }

std::string identity(Platform& os, const std::string& dir) {
    if (auto id = os.directoryIdentity(dir)) return "id:" + *id;
    return "path:" + upperAscii(withBackslash(dir));
}

std::string directoryKey(Platform& os, const std::string& dir) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : identity(os, dir)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

bool reachesProgram(Platform& os, const std::string& gameDir, const std::string& programDir) {
    for (const std::string& dir : selfAndAbove(programDir))
        if (sameDirectory(os, dir, gameDir)) return true;
    const std::string records = recordsDirectory(withBackslash(programDir));
    for (const std::string& dir : selfAndAbove(gameDir))
        if (sameDirectory(os, dir, records)) return true;
    return false;
}

bool isBelow(Platform& os, const std::string& gameDir, const std::string& emulatorDir) {
    const size_t cut = gameDir.rfind('\\', gameDir.size() - 2);
    return cut != std::string::npos && sameDirectory(os, gameDir.substr(0, cut + 1), emulatorDir);
}

std::string recordText(const RunRecord& record) {
    std::string text = std::string(kHeader) + "\r\ngame=" + record.gameDir + "\r\ngameid=" + record.gameId + "\r\n";
    if (!record.unpacked.empty()) text += "unpacked=" + record.unpacked.identity + "|" + record.unpacked.name + "\r\n";
    if (!record.aside.empty()) text += "aside=" + record.aside.identity + "|" + record.aside.name + "\r\n";
    for (const ChildId& child : record.children)
        text += "child=" + std::to_string(child.id) + "," + std::to_string(child.created) + "\r\n";
    for (const BroughtItem& item : record.brought) text += "delete=" + item.identity + "|" + item.path + "\r\n";
    for (const KeptItem& item : record.setAside) {
        text += "kept=" + item.path + "\r\n";
        if (!item.over.empty()) text += "over=" + item.overIdentity + "|" + item.over + "\r\n";
    }
    return text;
}

std::optional<RunRecord> parseRecord(const std::string& text) {
    const std::vector<std::string> all = lines(text);
    if (all.size() < 3 || all[0] != kHeader || all[1].compare(0, 5, "game=") != 0) return std::nullopt;
    RunRecord record;
    record.gameDir = all[1].substr(5);
    if (!isFullPath(record.gameDir) || record.gameDir.back() != '\\') return std::nullopt;
    for (size_t i = 2; i < all.size(); ++i)
        if (!readLine(all[i], record)) return std::nullopt;
    if (record.gameId.empty() || (!record.setAside.empty() && record.aside.empty()) ||
        (!record.brought.empty() && record.unpacked.empty()))
        return std::nullopt;
    return record;
}

bool trustworthy(Platform& os, const RunRecord& record, const std::string& path, const std::string& programDir,
                 const std::string& emulatorDir) {
    const std::string& game = record.gameDir;
    const size_t cut = game.rfind('\\', game.size() - 2);
    const std::string name = game.substr(cut + 1, game.size() - cut - 2);
    const std::optional<Platform::ItemFacts> dir = os.itemFacts(game.substr(0, game.size() - 1));
    if (!dir || !dir->folder || dir->link || identity(os, game) != record.gameId) return false;
    const size_t slash = path.find_last_of('\\');
    return upperAscii(path.substr(slash + 1)) == upperAscii("run-" + directoryKey(os, game) + ".txt") &&
           isPlainDirectoryName(name) && sameDirectory(os, game.substr(0, cut + 1), emulatorDir) &&
           !reachesProgram(os, game, programDir) &&
           isTheMadeFolder(os, record.unpacked, emulatorDir, name, kUnpackSuffix) &&
           isTheMadeFolder(os, record.aside, emulatorDir, name, kAsideSuffix);
}

bool writeRecord(Platform& os, const std::string& programDir, const std::string& path, const RunRecord& record,
                 std::uint32_t& error) {
    const std::string dir = recordsDirectory(programDir);
    if (!os.directoryExists(dir) && !os.createDirectory(dir.substr(0, dir.size() - 1))) {
        error = os.lastError();
        return false;
    }
    // A record is either the old one or the new one, never half of one.
    if (os.saveFile(path + ".new", recordText(record)) && os.moveFile(path + ".new", path, true)) return true;
    error = os.lastError();
    os.deleteFile(path + ".new");
    return false;
}

void dropRecordFile(Platform& os, const std::string& programDir, const std::string& path) {
    os.deleteFile(path);
    os.deleteFile(path + ".new");
    const std::string dir = recordsDirectory(programDir);
    os.removeDirectory(dir.substr(0, dir.size() - 1));
}

bool isUnfinishedRecordName(const std::string& name) {
    const std::string u = upperAscii(name);
    return u.size() > 12 && u.compare(0, 4, "RUN-") == 0 && u.compare(u.size() - 8, 8, ".TXT.NEW") == 0;
}

bool isRecordName(const std::string& name) {
    const std::string u = upperAscii(name);
    return u.size() > 8 && u.compare(0, 4, "RUN-") == 0 && u.compare(u.size() - 4, 4, ".TXT") == 0;
}

std::string setApartName(const std::string& path) { return path + kSetApart; }

bool isSetApartName(const std::string& name) {
    const std::string suffix = upperAscii(kSetApart);
    const std::string u = upperAscii(name);
    return u.size() > suffix.size() && u.compare(u.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace qn
