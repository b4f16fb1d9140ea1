#include "launch/kept_files.h"

#include <cstdio>
#include <set>

#include "launch/game_directory.h"
#include "launch/zip_entries.h"
#include "platform/ascii.h"

namespace qn {
namespace {

const char* const kFolder = "RunRecords";
const char* const kHeader = "QnLaunch run record";
const char* const kAsideMark = ".qnkept";

struct Record {
    std::string gameDir;
    std::vector<ChildId> children;
    std::vector<std::pair<AtRisk, std::string>> moved;  // the file, its name aside
};

std::string withBackslash(std::string dir) {
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

std::string recordsDirectory(const std::string& programDir) { return programDir + kFolder + "\\"; }
bool reaches(const std::string& gameDir, const std::string& programDir);

// The game's directory as a name of its own, the same however it is spelt.
std::string gameKey(const std::string& gameDir) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : upperAscii(withBackslash(gameDir))) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string recordName(const std::string& gameDir) { return "run-" + gameKey(gameDir) + ".txt"; }
std::string lockName(const std::string& gameDir) { return "QnLaunch run " + gameKey(gameDir); }

// Only names this program gives are ever taken for files set aside: the
// user's name, the mark and a number, in the same directory.
bool isAsideNameOf(const std::string& aside, const std::string& name) {
    const std::string stem = name + kAsideMark;
    if (aside.compare(0, stem.size(), stem) != 0) return false;
    for (size_t i = stem.size(); i < aside.size(); ++i)
        if (aside[i] < '0' || aside[i] > '9') return false;
    return aside.size() - stem.size() <= 4;
}

std::string format(const Record& record) {
    std::string text = std::string(kHeader) + "\r\ngame=" + record.gameDir + "\r\n";
    for (const ChildId& child : record.children)
        text += "child=" + std::to_string(child.id) + "," + std::to_string(child.created) + "\r\n";
    for (const auto& [file, aside] : record.moved) {
        text += "kept=" + aside + "|" + file.name + "|";
        if (file.size) text += std::to_string(*file.size);
        text += "|";
        if (file.crc) text += std::to_string(*file.crc);
        text += "\r\n";
    }
    return text;
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

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t cut; (cut = text.find(separator, start)) != std::string::npos; start = cut + 1)
        parts.push_back(text.substr(start, cut - start));
    parts.push_back(text.substr(start));
    return parts;
}

// A record as this program writes it, naming only places inside a game's
// directory that lies apart from the program's; anything else is left alone.
std::optional<Record> parse(const std::string& text, const std::string& programDir) {
    std::vector<std::string> lines = split(text, '\n');
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lines.size() < 2 || lines[0] != kHeader || lines[1].compare(0, 5, "game=") != 0) return std::nullopt;
    Record record;
    record.gameDir = lines[1].substr(5);
    if (!isFullPath(record.gameDir) || record.gameDir.back() != '\\' ||
        reaches(record.gameDir, programDir))
        return std::nullopt;
    for (size_t i = 2; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        if (line.compare(0, 6, "child=") == 0) {
            const std::vector<std::string> parts = split(line.substr(6), ',');
            const auto id = parts.size() == 2 ? number(parts[0]) : std::nullopt;
            const auto created = parts.size() == 2 ? number(parts[1]) : std::nullopt;
            if (!id || !created || *id > 0xFFFFFFFFu) return std::nullopt;
            record.children.push_back({static_cast<std::uint32_t>(*id), *created});
        } else if (line.compare(0, 5, "kept=") == 0) {
            const std::vector<std::string> parts = split(line.substr(5), '|');
            if (parts.size() != 4 || !staysInsideGameDirectory(parts[1]) || !isAsideNameOf(parts[0], parts[1]))
                return std::nullopt;
            AtRisk file{parts[1], number(parts[2]), std::nullopt};
            if (const auto crc = number(parts[3]); crc && *crc <= 0xFFFFFFFFu)
                file.crc = static_cast<std::uint32_t>(*crc);
            if (!parts[2].empty() && !file.size) return std::nullopt;
            record.moved.emplace_back(file, parts[0]);
        } else {
            return std::nullopt;
        }
    }
    return record;
}

// Whether the file at `path` is what the run wrote there; nothing when it
// cannot be read now.
std::optional<bool> isTheRunsVersion(Platform& os, const std::string& path, const AtRisk& file) {
    if (!file.size || os.fileSize(path) != file.size) return false;
    if (!file.crc) return true;
    const std::optional<std::uint32_t> crc = fileCrc(os, path);
    if (!crc) return std::nullopt;
    return *crc == *file.crc;
}

std::string stuckMessage(const std::string& gameDir) {
    return "Some of your files in " + gameDir +
           " could not be put back after the last run of this game: they are kept there under names "
           "ending in \"" + kAsideMark + "\". Close any program that may be using them and run the game "
           "again, or start the launcher again, to have them put back.";
}

const char* const kRunningMessage =
    "This game is still running, started by another copy of the launcher or before the launcher last "
    "ended. Try again when it has ended.";

enum class Outcome { Done, Running, Stuck };

// Puts back what an earlier run left aside. A file the user has changed
// since stays, and the one set aside is kept beside it.
Outcome finish(Platform& os, const Record& record) {
    for (const ChildId& child : record.children)
        if (os.isRunning(child)) return Outcome::Running;
    bool stuck = false;
    for (const auto& [file, asideName] : record.moved) {
        const std::string aside = record.gameDir + asideName, original = record.gameDir + file.name;
        if (!os.fileExists(aside)) continue;
        const std::optional<bool> runs = os.fileExists(original) ? isTheRunsVersion(os, original, file) : true;
        if (!runs) {
            stuck = true;
        } else if (*runs) {
            stuck |= !os.moveFile(aside, original, true);
        } else {
            os.messageBox(MessageKind::Warning, "Your file " + original + " was kept as " + aside + ": " +
                                                    original + " has changed since a run of the game set it aside.");
        }
    }
    return stuck ? Outcome::Stuck : Outcome::Done;
}

// The short form of a directory, or of its parent with its own name, for
// a directory a run has yet to make.
std::string shortForm(Platform& os, const std::string& dir) {
    if (auto whole = os.shortPathName(dir)) return withBackslash(*whole);
    std::string trimmed = dir;
    if (!trimmed.empty()) trimmed.pop_back();
    const size_t cut = trimmed.rfind('\\');
    if (cut == std::string::npos) return dir;
    if (auto parent = os.shortPathName(trimmed.substr(0, cut + 1)))
        return withBackslash(*parent) + trimmed.substr(cut + 1) + "\\";
    return dir;
}


// Whether a run writing into the game's directory could reach the program's
// own files or its records: the game's directory is the program directory,
// holds it, or is or lies in the records' directory. A game directory
// elsewhere inside the program directory reaches neither.
bool reaches(const std::string& gameDir, const std::string& programDir) {
    const std::string game = upperAscii(withBackslash(gameDir)), program = upperAscii(programDir);
    return program.compare(0, game.size(), game) == 0 || directoriesOverlap(gameDir, recordsDirectory(programDir));
}

}  // namespace

bool directoriesOverlap(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    const std::string x = upperAscii(withBackslash(a)), y = upperAscii(withBackslash(b));
    return x.compare(0, y.size(), y) == 0 || y.compare(0, x.size(), x) == 0;
}

KeptFiles::KeptFiles(Platform& os, std::string programDir, std::string gameDir)
    : os_(os), programDir_(withBackslash(std::move(programDir))), gameDir_(withBackslash(std::move(gameDir))) {
    if (!isFullPath(programDir_)) programDir_.clear();
}

KeptFiles::~KeptFiles() = default;

bool KeptFiles::begin() {
    if (!programDir_.empty() && (reaches(gameDir_, programDir_) || reaches(shortForm(os_, gameDir_), shortForm(os_, programDir_)))) {
        os_.messageBox(MessageKind::Error, "The game was not run: its directory " + gameDir_ +
                                               " would take in the launcher's own directory " + programDir_ +
                                               " or its records in " + recordsDirectory(programDir_) +
                                               ". Choose an emulator directory apart from them.");
        return false;
    }
    lock_ = os_.holdNamedLock(lockName(gameDir_));
    if (!lock_) {
        os_.messageBox(MessageKind::Warning, kRunningMessage);
        return false;
    }
    if (programDir_.empty()) return true;
    const std::string path = recordsDirectory(programDir_) + recordName(gameDir_);
    const std::optional<std::string> text = os_.fileExists(path) ? os_.readFile(path) : std::nullopt;
    const std::optional<Record> record = text ? parse(*text, programDir_) : std::nullopt;
    if (!record || upperAscii(record->gameDir) != upperAscii(gameDir_)) return true;
    switch (finish(os_, *record)) {
    case Outcome::Done: os_.deleteFile(path); return true;
    case Outcome::Running: os_.messageBox(MessageKind::Warning, kRunningMessage); break;
    case Outcome::Stuck: os_.messageBox(MessageKind::Warning, stuckMessage(gameDir_)); break;
    }
    lock_.reset();
    return false;
}

bool KeptFiles::moveAside(const std::vector<AtRisk>& files) {
    if (files.empty()) return true;
    std::set<std::string> taken;
    for (const AtRisk& file : files) taken.insert(upperAscii(file.name));
    for (const AtRisk& file : files) {
        std::string aside;
        for (int n = 0; n < 10000; ++n) {
            aside = file.name + kAsideMark + (n ? std::to_string(n) : "");
            if (!taken.count(upperAscii(aside)) && !os_.fileExists(gameDir_ + aside)) break;
        }
        taken.insert(upperAscii(aside));
        moved_.push_back({file, aside});
    }
    if (!saveRecord()) {
        const std::string where = programDir_.empty() ? "the launcher's directory" : recordsDirectory(programDir_);
        os_.messageBox(MessageKind::Error,
                       "The game was not run: it would overwrite files of yours in " + gameDir_ +
                           ", and the note of them that the launcher keeps while they are set aside could "
                           "not be written in " + where +
                           ". Make that folder writable (or move away a file of that name) and try again.");
        moved_.clear();
        return false;
    }
    for (const Moved& m : moved_) {
        if (os_.moveFile(gameDir_ + m.file.name, gameDir_ + m.aside, false)) continue;
        if (!putBack()) os_.messageBox(MessageKind::Warning, notPutBackMessage());
        os_.messageBox(MessageKind::Error, "The game was not run: your file " + gameDir_ + m.file.name +
                                               " could not be set aside before the run overwrites it. Close "
                                               "any program that may be using it and try again.");
        return false;
    }
    return true;
}

bool KeptFiles::isAside(const std::string& name) const {
    for (const Moved& m : moved_)
        if (upperAscii(m.file.name) == upperAscii(name)) return os_.fileExists(gameDir_ + m.aside);
    return false;
}

std::string KeptFiles::notPutBackMessage() const { return stuckMessage(gameDir_); }

void KeptFiles::noteChild(const ChildId& child) {
    children_.push_back(child);
    if (!moved_.empty()) saveRecord();
}

void KeptFiles::returnUntouched() {
    for (const Moved& m : moved_)
        if (os_.fileExists(gameDir_ + m.aside) && !os_.fileExists(gameDir_ + m.file.name))
            os_.moveFile(gameDir_ + m.aside, gameDir_ + m.file.name, false);
}

bool KeptFiles::putBack() {
    bool all = true;
    for (const Moved& m : moved_)
        if (os_.fileExists(gameDir_ + m.aside) && !os_.moveFile(gameDir_ + m.aside, gameDir_ + m.file.name, true))
            all = false;
    if (!all) return false;
    if (!moved_.empty()) dropRecord();
    moved_.clear();
    return true;
}

bool KeptFiles::saveRecord() {
    if (programDir_.empty()) return false;
    const std::string dir = recordsDirectory(programDir_);
    if (!os_.directoryExists(dir)) os_.createDirectory(dir.substr(0, dir.size() - 1));
    Record record{gameDir_, children_, {}};
    for (const Moved& m : moved_) record.moved.emplace_back(m.file, m.aside);
    // Written whole beside it, then put in its place: a record is either
    // the old one or the new one, never half of one.
    const std::string path = dir + recordName(gameDir_);
    return os_.saveFile(path + ".new", format(record)) && os_.moveFile(path + ".new", path, true);
}

void KeptFiles::dropRecord() {
    const std::string dir = recordsDirectory(programDir_);
    os_.deleteFile(dir + recordName(gameDir_));
    os_.removeDirectory(dir.substr(0, dir.size() - 1));
}

std::string KeptFiles::recordPath(const std::string& programDir, const std::string& gameDir) {
    return recordsDirectory(withBackslash(programDir)) + recordName(gameDir);
}

void KeptFiles::recoverAll(Platform& os, const std::string& programDirectory) {
    const std::string programDir = withBackslash(programDirectory);
    if (!isFullPath(programDir)) return;
    const std::string dir = recordsDirectory(programDir);
    if (!os.directoryExists(dir)) return;
    for (const std::string& name : os.filesIn(dir).value_or(std::vector<std::string>{})) {
        // A record never finished being written: its files were not yet moved.
        if (upperAscii(name).compare(0, 4, "RUN-") == 0 && upperAscii(name).find(".TXT.NEW") == name.size() - 8) {
            os.deleteFile(dir + name);
            continue;
        }
        const std::optional<std::string> text = os.readFile(dir + name);
        const std::optional<Record> record = text ? parse(*text, programDir) : std::nullopt;
        if (!record || upperAscii(name) != upperAscii(recordName(record->gameDir))) continue;
        // A game another launcher runs now is that launcher's to finish.
        const std::unique_ptr<FileLock> lock = os.holdNamedLock(lockName(record->gameDir));
        if (!lock) continue;
        switch (finish(os, *record)) {
        case Outcome::Done: os.deleteFile(dir + name); break;
        case Outcome::Running: break;
        case Outcome::Stuck: os.messageBox(MessageKind::Warning, stuckMessage(record->gameDir)); break;
        }
    }
    os.removeDirectory(dir.substr(0, dir.size() - 1));
}

}  // namespace qn
