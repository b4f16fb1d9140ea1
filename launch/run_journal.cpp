#include "launch/run_journal.h"

#include <new>
#include <set>

#include "launch/game_directory.h"
#include "platform/ascii.h"

namespace qn {
namespace {

const char* const kFolder = "RunBackup";
const char* const kJournal = "journal.txt";
const char* const kLockFile = "lock";
const char* const kHeader = "QnLaunch run journal";
const char* const kReady = "ready";
constexpr int kDepth = 8;

bool hasControlCharacter(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) < 32) return true;
    return false;
}

// Only names this journal gives its copies are ever removed from the backup
// directory, whatever a damaged journal says.
bool isCopyName(const std::string& name) {
    const std::string head = "file", tail = ".bak";
    if (name.size() <= head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    for (size_t i = head.size(); i < name.size() - tail.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

bool isJournalPath(const std::string& path) { return isFullPath(path) && !hasControlCharacter(path); }

std::string withoutTrailingBackslash(std::string dir) {
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    return dir;
}

std::string parentOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

void collectFiles(Platform& os, const std::string& dir, int depth, std::vector<std::string>& out) {
    for (const std::string& name : os.filesIn(dir)) out.push_back(dir + name);
    if (depth >= kDepth) return;
    for (const std::string& sub : os.subdirectories(dir)) collectFiles(os, dir + sub + "\\", depth + 1, out);
}

// A file too big to hold twice counts as changed: its copy then stays and
// is put back, which is the safe side.
bool sameContent(Platform& os, const std::string& a, const std::string& b) {
    try {
        const std::optional<std::string> first = os.readFile(a);
        const std::optional<std::string> second = first ? os.readFile(b) : std::nullopt;
        return first && second && *first == *second;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

std::string runBackupDirectory(const std::string& mainPath) {
    if (!isFullPath(mainPath)) return std::string();
    return mainPath + (mainPath.back() == '\\' ? "" : "\\") + kFolder + "\\";
}

std::vector<std::string> filesBelow(Platform& os, const std::string& directory) {
    std::vector<std::string> out;
    if (!directory.empty() && os.directoryExists(directory))
        collectFiles(os, directory + (directory.back() == '\\' ? "" : "\\"), 0, out);
    return out;
}

RunJournal::RunJournal(Platform& os, std::string directory) : os_(os), dir_(std::move(directory)) {}

RunJournal::~RunJournal() = default;

RunJournal::Lock RunJournal::lock() {
    os_.createDirectory(withoutTrailingBackslash(dir_));
    if (!os_.directoryExists(dir_)) return Lock::Failed;
    lock_ = os_.lockFile(dir_ + kLockFile);
    if (lock_) return Lock::Held;
    return os_.fileExists(dir_ + kLockFile) ? Lock::Busy : Lock::Failed;
}

void RunJournal::release() {
    lock_.reset();
    os_.deleteFile(dir_ + kLockFile);
    os_.removeDirectory(withoutTrailingBackslash(dir_));
}

RunJournal::Start RunJournal::start(const std::vector<std::string>& userFiles,
                                    const std::vector<std::string>& runFiles) {
    if (dir_.empty()) return Start::Failed;
    switch (lock()) {
    case Lock::Held: break;
    case Lock::Busy: return Start::Busy;
    case Lock::Failed: return Start::Failed;
    }
    // A run that ended with the process is finished before a new one
    // takes its place.
    if (os_.fileExists(dir_ + kJournal)) {
        if (!load()) {
            discard();
        } else if (!complete()) {
            lock_.reset();
            return Start::Stuck;
        }
    }

    kept_.clear();
    dropped_.clear();
    std::set<std::string> seen;
    const std::string ownDir = upperAscii(dir_);
    for (const std::string& path : userFiles) {
        const std::string key = upperAscii(path);
        if (key.compare(0, ownDir.size(), ownDir) == 0 || !seen.insert(key).second) continue;
        // A file no one may write (read-only, or held by another program)
        // cannot be overwritten by the run either.
        if (!os_.canOpenReadWrite(path)) continue;
        kept_.push_back({"file" + std::to_string(kept_.size() + 1) + ".bak", path});
    }
    dropped_ = runFiles;
    bool written = true;
    for (const Kept& k : kept_) written = written && isJournalPath(k.path);
    for (const std::string& path : dropped_) written = written && isJournalPath(path);

    written = written && os_.saveFile(dir_ + kJournal, text(false));
    for (const Kept& k : kept_) written = written && os_.copyFile(k.path, dir_ + k.copy);
    written = written && os_.saveFile(dir_ + kJournal, text(true));
    if (written) return Start::Kept;
    discard();
    release();
    return Start::Failed;
}

std::string RunJournal::text(bool ready) const {
    std::string out = std::string(kHeader) + "\r\n";
    for (const Kept& k : kept_) out += "keep\t" + k.copy + "\t" + k.path + "\r\n";
    for (const std::string& path : dropped_) out += "drop\t" + path + "\r\n";
    if (ready) out += std::string(kReady) + "\r\n";
    return out;
}

bool RunJournal::load() {
    kept_.clear();
    dropped_.clear();
    const std::optional<std::string> content = os_.readFile(dir_ + kJournal);
    if (!content) return false;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content->size()) {
        size_t end = content->find('\n', start);
        if (end == std::string::npos) end = content->size();
        std::string line = content->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty() || lines[0] != kHeader) return false;
    bool wellFormed = true;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line == kReady) return wellFormed && i + 1 == lines.size();
        const size_t tab = line.find('\t');
        const std::string kind = line.substr(0, tab);
        const std::string rest = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        const size_t tab2 = rest.find('\t');
        if (kind == "keep" && tab2 != std::string::npos && isCopyName(rest.substr(0, tab2)) &&
            isJournalPath(rest.substr(tab2 + 1))) {
            kept_.push_back({rest.substr(0, tab2), rest.substr(tab2 + 1)});
        } else if (kind == "drop" && isJournalPath(rest)) {
            dropped_.push_back(rest);
        } else {
            wellFormed = false;
        }
    }
    return false;
}

void RunJournal::forgetUnchanged() {
    if (!active()) return;
    for (const Kept& k : kept_)
        if (sameContent(os_, k.path, dir_ + k.copy)) os_.deleteFile(dir_ + k.copy);
}

bool RunJournal::complete() {
    for (const std::string& path : dropped_) os_.deleteFile(path);
    bool allBack = true;
    for (const Kept& k : kept_) {
        const std::string copy = dir_ + k.copy;
        // No copy: the file was left as it was, or is back already.
        if (!os_.fileExists(copy) || os_.copyFile(copy, k.path)) continue;
        // A directory the user has removed since takes nothing back.
        if (!os_.directoryExists(parentOf(k.path))) continue;
        if (!sameContent(os_, k.path, copy)) allBack = false;
    }
    if (!allBack) return false;
    // The copies go before the journal: a journal whose copies are gone
    // has put everything back already.
    for (const Kept& k : kept_) os_.deleteFile(dir_ + k.copy);
    os_.deleteFile(dir_ + kJournal);
    kept_.clear();
    dropped_.clear();
    return true;
}

void RunJournal::discard() {
    // Every copy there, named in a damaged journal or not.
    for (const std::string& name : os_.filesIn(dir_))
        if (isCopyName(name)) os_.deleteFile(dir_ + name);
    os_.deleteFile(dir_ + kJournal);
    kept_.clear();
    dropped_.clear();
}

bool RunJournal::finish() {
    if (!active()) return true;
    if (!complete()) {
        lock_.reset();
        return false;
    }
    release();
    return true;
}

RunJournal::Recovery RunJournal::recover(Platform& os, const std::string& directory) {
    if (directory.empty() || !os.directoryExists(directory)) return Recovery::Nothing;
    RunJournal journal(os, directory);
    switch (journal.lock()) {
    case Lock::Held: break;
    case Lock::Busy: return Recovery::Busy;
    case Lock::Failed: return os.fileExists(directory + kJournal) ? Recovery::Failed : Recovery::Nothing;
    }
    if (!journal.load()) {
        // Never ready (or only the empty directory of a run that had
        // finished): the game's directory was not touched yet.
        journal.discard();
        journal.release();
        return Recovery::Nothing;
    }
    return journal.finish() ? Recovery::Finished : Recovery::Failed;
}

std::string RunJournal::notPutBackMessage(const std::string& directory) {
    return "Some files that a game's run changed could not be put back as they were.\r"
           "Copies of them are kept in " +
           directory + "; the launcher tries again at its next start.";
}

}  // namespace qn
