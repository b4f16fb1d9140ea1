#include "launch/run_record.h"

#include <cstdint>
#include <cstdio>

#include "launch/game_directory.h"
#include "platform/ascii.h"

namespace qn {
namespace {

const char* const kFolder = "RunRecords";
const char* const kHeader = "QnLaunch run record 2";

// The directory's identity, or its spelling where the file system gives none.
std::string identity(Platform& os, const std::string& dir) {
    if (auto id = os.directoryIdentity(dir)) return "id:" + *id;
    return "path:" + upperAscii(withBackslash(dir));
}

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

bool readLine(const std::string& line, RunRecord& record) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return line.empty();
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "aside" && record.aside.empty()) {
        record.aside = value;
        return !value.empty();
    }
    if (key == "run") {
        record.runsFiles.push_back(value);
        return staysInsideGameDirectory(value);
    }
    if (key != "child") return false;
    const size_t comma = value.find(',');
    const auto id = number(value.substr(0, comma));
    const auto created = comma == std::string::npos ? std::nullopt : number(value.substr(comma + 1));
    if (!id || !created || *id > 0xFFFFFFFFu) return false;
    record.children.push_back({static_cast<std::uint32_t>(*id), *created});
    return true;
}

std::optional<RunRecord> parse(const std::string& text) {
    const std::vector<std::string> all = lines(text);
    if (all.size() < 2 || all[0] != kHeader || all[1].compare(0, 5, "game=") != 0) return std::nullopt;
    RunRecord record;
    record.gameDir = all[1].substr(5);
    if (!isFullPath(record.gameDir) || record.gameDir.back() != '\\') return std::nullopt;
    for (size_t i = 2; i < all.size(); ++i)
        if (!readLine(all[i], record)) return std::nullopt;
    return record;
}

// Only the folder this program makes beside the game's directory:
// "<game> set aside", maybe with a number.
bool isAsideOf(const std::string& aside, const std::string& game) {
    const std::string stem = game + kAsideSuffix;
    if (aside.compare(0, stem.size(), stem) != 0) return false;
    const std::string rest = aside.substr(stem.size());
    return rest.empty() || (rest.size() <= 5 && rest[0] == ' ' && number(rest.substr(1)));
}

}  // namespace

std::string withBackslash(std::string dir) {
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

std::string recordsDirectory(const std::string& programDir) { return programDir + kFolder + "\\"; }

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

std::optional<RunRecord> readRecord(Platform& os, const std::string& path, const std::string& programDir,
                                    const std::string& emulatorDir) {
    const std::optional<std::string> text = os.fileExists(path) ? os.readFile(path) : std::nullopt;
    std::optional<RunRecord> record = text ? parse(*text) : std::nullopt;
    if (!record || !os.directoryExists(record->gameDir)) return std::nullopt;
    const std::string& game = record->gameDir;
    const size_t cut = game.rfind('\\', game.size() - 2);
    const std::string name = game.substr(cut + 1, game.size() - cut - 2);
    const size_t slash = path.find_last_of('\\');
    if (upperAscii(path.substr(slash + 1)) != upperAscii("run-" + directoryKey(os, game) + ".txt") ||
        !isPlainDirectoryName(name) || !sameDirectory(os, game.substr(0, cut + 1), emulatorDir) ||
        reachesProgram(os, game, programDir) || (!record->aside.empty() && !isAsideOf(record->aside, name)))
        return std::nullopt;
    return record;
}

bool writeRecord(Platform& os, const std::string& programDir, const std::string& path, const RunRecord& record) {
    const std::string dir = recordsDirectory(programDir);
    if (!os.directoryExists(dir)) os.createDirectory(dir.substr(0, dir.size() - 1));
    std::string text = std::string(kHeader) + "\r\ngame=" + record.gameDir + "\r\n";
    if (!record.aside.empty()) text += "aside=" + record.aside + "\r\n";
    for (const ChildId& child : record.children)
        text += "child=" + std::to_string(child.id) + "," + std::to_string(child.created) + "\r\n";
    for (const std::string& name : record.runsFiles) text += "run=" + name + "\r\n";
    // A record is either the old one or the new one, never half of one.
    return os.saveFile(path + ".new", text) && os.moveFile(path + ".new", path, true);
}

void dropRecordFile(Platform& os, const std::string& programDir, const std::string& path) {
    os.deleteFile(path);
    const std::string dir = recordsDirectory(programDir);
    os.removeDirectory(dir.substr(0, dir.size() - 1));
}

bool isUnfinishedRecordName(const std::string& name) {
    const std::string u = upperAscii(name);
    return u.size() > 12 && u.compare(0, 4, "RUN-") == 0 && u.compare(u.size() - 8, 8, ".TXT.NEW") == 0;
}

}  // namespace qn
