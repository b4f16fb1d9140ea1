#include "launch/kept_files.h"

#include "launch/bring_in.h"
#include "launch/game_directory.h"
#include "platform/ascii.h"

namespace qn {
namespace {

const char* const kRunningMessage =
    "This game is still running, started by another copy of the launcher or before the launcher last "
    "ended. Try again when it has ended.";

std::string stuckMessage(const std::string& gameDir, const std::string& asideDir, const std::string& reason) {
    return "Some of your files in " + gameDir + " could not be put back after the last run of this game" + reason +
           ": they are kept in " + asideDir +
           ". Close any program that may be using them and run the game again, or start the launcher again, to "
           "have them put back.";
}

enum class Outcome { Done, Running, Stuck };

// An item of the user's left aside because what the run left at its
// place could not be removed.
struct KeptAside {
    std::string item, keptAs;
    bool folder;
};

struct Finished {
    Outcome outcome = Outcome::Done;
    std::uint32_t error = 0;
    std::vector<KeptAside> kept;
};

bool moveItem(Platform& os, const std::string& from, const std::string& to, bool folder, bool replace = false) {
    return folder ? os.moveDirectory(from, to) : os.moveFile(from, to, replace);
}

void tellKept(Platform& os, const std::vector<KeptAside>& kept) {
    for (const KeptAside& k : kept)
        os.messageBox(MessageKind::Warning,
                      std::string("Your ") + (k.folder ? "folder " : "file ") + k.item + " was kept as " + k.keptAs +
                          ": the run left something at " + k.item +
                          " that could not be removed. Look at both and keep what you want.");
}

// Removes the folders left empty in `dir` (the paths the items set aside
// took), then `dir` itself; false when anything stays.
bool removeEmptyTree(Platform& os, const std::string& dir) {
    if (const auto listing = os.listDirectory(dir)) {
        if (!listing->files.empty()) return false;
        bool empty = true;
        for (const std::string& name : listing->folders) {
            const auto facts = os.itemFacts(dir + name);
            empty = facts && !facts->link && removeEmptyTree(os, dir + name + "\\") && empty;
        }
        if (!empty) return false;
    }
    return os.removeDirectory(dir.substr(0, dir.size() - 1));
}

// Removes a folder the run made: with what it holds where `whole` and its
// identity is known, else only the folders left empty in it.
void removeMade(Platform& os, const std::string& emulatorDir, const MadeFolder& folder, bool whole) {
    if (folder.empty() || !os.itemFacts(emulatorDir + folder.name)) return;
    if (folder.pending())
        os.removeDirectory(emulatorDir + folder.name);
    else if (whole)
        removeTree(os, emulatorDir + folder.name + "\\");
    else
        removeEmptyTree(os, emulatorDir + folder.name + "\\");
}

// Finishes a run as its clean-up would have: the items it brought go where
// they are still its own, everything set aside comes back over what it
// left, and its folders go.
Finished finishRun(Platform& os, const RunRecord& record, const std::string& emulatorDir) {
    Finished out;
    for (const ChildId& child : record.children)
        if (os.isRunning(child)) return {Outcome::Running, 0, {}};
    const std::string& gameDir = record.gameDir;
    for (const BroughtItem& item : record.brought) {
        const auto facts = itemWithoutLinks(os, gameDir, item.path);
        if (facts && !facts->folder && facts->identity == item.identity) os.deleteFile(gameDir + item.path);
    }
    const std::string aside = emulatorDir + record.aside.name + "\\";
    // Nothing was set aside before the folder's identity was recorded.
    for (const KeptItem& item : record.aside.pending() ? std::vector<KeptItem>{} : record.setAside) {
        const std::string& path = item.path;
        const auto kept = itemWithoutLinks(os, aside, path);
        if (!kept) continue;  // back already
        const std::string place = gameDir + path;
        const size_t cut = path.rfind('\\');
        const auto home = cut == std::string::npos ? os.itemFacts(gameDir.substr(0, gameDir.size() - 1))
                                                   : itemWithoutLinks(os, gameDir, path.substr(0, cut));
        if (!home || !home->folder) {
            out.outcome = Outcome::Stuck;  // the folder it belongs in is gone, or a link now
            continue;
        }
        // What the run left at the place goes, a link never; a file the
        // system will not delete (read-only) is replaced instead. The
        // archive's item under the user's item's short alias goes first.
        if (!item.over.empty()) {
            const auto alias = itemWithoutLinks(os, gameDir, item.over);
            if (alias && alias->identity == item.overIdentity) {
                if (alias->folder)
                    removeTree(os, gameDir + item.over + "\\");
                else
                    os.deleteFile(gameDir + item.over);
            }
        }
        const auto there = os.itemFacts(place);
        bool replace = false, blocked = false;
        if (there && there->link)
            blocked = true;
        else if (there && there->folder)
            blocked = !removeTree(os, place + "\\");
        else if (there && !os.deleteFile(place))
            (kept->folder ? blocked : replace) = true;
        if (blocked) {
            out.kept.push_back({place, aside + path, kept->folder});
            continue;
        }
        if (!moveItem(os, aside + path, place, kept->folder, replace)) {
            out.error = os.lastError();
            out.outcome = Outcome::Stuck;
        }
    }
    removeMade(os, emulatorDir, record.unpacked, true);
    if (out.outcome == Outcome::Done) {
        removeMade(os, emulatorDir, record.aside, false);
        tellKept(os, out.kept);
    }
    return out;
}

// A folder name beside the game's directory that nothing holds yet.
std::string freeName(Platform& os, const std::string& emulatorDir, const std::string& stem) {
    std::string name = stem;
    for (int n = 2; n < 10000 && os.itemFacts(emulatorDir + name); ++n) name = stem + " " + std::to_string(n);
    return name;
}

void setApart(Platform& os, const std::string& path) {
    const std::string apart = setApartName(path);
    os.moveFile(path, apart, true);
    os.messageBox(MessageKind::Warning,
                  "The launcher's note of an earlier run, " + path +
                      ", does not match the folders it names, so nothing it names was changed. It was kept as " +
                      apart + ". If files of yours are missing from a game's directory, look for them in the "
                              "folders beside it whose names end in \"" + kAsideSuffix + "\".");
}

}  // namespace

KeptFiles::KeptFiles(Platform& os, std::string programDir, std::string emulatorDir, std::string gameName)
    : os_(os), programDir_(withBackslash(std::move(programDir))), emulatorDir_(withBackslash(std::move(emulatorDir))),
      gameName_(std::move(gameName)), gameDir_(emulatorDir_ + gameName_ + "\\") {
    if (!isFullPath(programDir_)) programDir_.clear();
}

KeptFiles::~KeptFiles() = default;

std::string KeptFiles::reason() const { return becauseOf(os_, error_); }

bool KeptFiles::begin() {
    if (!programDir_.empty() && reachesProgram(os_, gameDir_, programDir_)) {
        os_.messageBox(MessageKind::Error, "The game was not run: its directory " + gameDir_ +
                                               " would take in the launcher's own directory " + programDir_ +
                                               " or its records in " + recordsDirectory(programDir_) +
                                               ". Choose an emulator directory apart from them.");
        return false;
    }
    // The directory's identity is looked up once: the lock and the record go by it.
    const std::string key = directoryKey(os_, gameDir_);
    lock_ = os_.holdNamedLock("QnLaunch run " + key);
    if (!lock_) {
        os_.messageBox(MessageKind::Warning, kRunningMessage);
        return false;
    }
    if (programDir_.empty()) return true;
    recordPath_ = recordPathFor(programDir_, key);
    if (!os_.fileExists(recordPath_)) return true;
    const std::optional<std::string> text = os_.readFile(recordPath_);
    const std::optional<RunRecord> record = text ? parseRecord(*text) : std::nullopt;
    if (!record || !trustworthy(os_, *record, recordPath_, programDir_, emulatorDir_)) {
        setApart(os_, recordPath_);
        return true;
    }
    const Finished done = finishRun(os_, *record, emulatorDir_);
    switch (done.outcome) {
    case Outcome::Done: dropRecordFile(os_, programDir_, recordPath_); return true;
    case Outcome::Running: os_.messageBox(MessageKind::Warning, kRunningMessage); break;
    case Outcome::Stuck:
        os_.messageBox(MessageKind::Warning, stuckMessage(gameDir_, emulatorDir_ + record->aside.name + "\\",
                                                          becauseOf(os_, done.error)));
        break;
    }
    lock_.reset();
    return false;
}

bool KeptFiles::makeUnpackFolder() {
    record_.gameDir = gameDir_;
    record_.gameId = identity(os_, gameDir_);
    const std::string folder = makeFolder(record_.unpacked, kUnpackSuffix, "for the game's unpacked files");
    if (folder.empty()) return false;
    unpackDir_ = folder + "\\";
    return true;
}

std::string KeptFiles::makeFolder(MadeFolder& made, const char* suffix, const std::string& what) {
    const std::string name = freeName(os_, emulatorDir_, gameName_ + suffix);
    const std::string folder = emulatorDir_ + name;
    made = {name, "-"};
    if (!saveRecord()) {
        const std::string where = programDir_.empty() ? "the launcher's directory" : recordsDirectory(programDir_);
        made = {};
        abandon();
        os_.messageBox(MessageKind::Error, "The game was not run: the note of it that the launcher keeps while the "
                                           "run has files in " + gameDir_ + " could not be written in " + where +
                                           reason() + ". Make that folder writable (or make room on its drive) "
                                           "and try again. Nothing in " + gameDir_ + " was changed.");
        return {};
    }
    const auto facts = os_.createDirectory(folder) ? os_.itemFacts(folder) : std::nullopt;
    if (!facts) error_ = os_.lastError();
    if (facts) made.identity = facts->identity;
    if (!facts || !saveRecord()) {
        abandon();
        os_.messageBox(MessageKind::Error, "The game was not run: the folder " + folder + " " + what +
                                               " could not be made" + reason() + ". Nothing in " + gameDir_ +
                                               " was changed.");
        return {};
    }
    return folder;
}

void KeptFiles::noteChild(const ChildId& child) {
    record_.children.push_back(child);
    if (recorded_) saveRecord();
}

void KeptFiles::abandon() {
    removeMade(os_, emulatorDir_, record_.unpacked, true);
    removeMade(os_, emulatorDir_, record_.aside, false);
    if (recorded_) dropRecordFile(os_, programDir_, recordPath_);
    recorded_ = false;
}

bool KeptFiles::bringIn(const std::vector<std::string>& runsOwn) {
    const Plan plan = planBringIn(os_, unpackDir_, gameDir_);
    if (!plan.refusal.empty()) {
        abandon();
        os_.messageBox(MessageKind::Error, plan.refusal);
        return false;
    }
    moves_ = plan.moves;
    // The run's own items, known by what they are now, before they move.
    for (std::string name : runsOwn) {
        for (char& c : name)
            if (c == '/') c = '\\';
        const std::string path = upperAscii(name);
        for (const Placement& move : moves_) {
            const std::string to = upperAscii(move.to);
            if (path == to) {
                if (!move.folder) record_.brought.push_back({name, move.identity});
                continue;
            }
            if (!move.folder || path.compare(0, to.size() + 1, to + "\\") != 0) continue;
            const auto facts = itemWithoutLinks(os_, unpackDir_, move.from + name.substr(move.to.size()));
            if (facts && !facts->folder) record_.brought.push_back({name, facts->identity});
        }
    }
    bool anyAside = false;
    for (const Placement& move : moves_)
        if (!move.userItem.empty()) {
            const bool alias = upperAscii(move.userItem) != upperAscii(move.to);
            record_.setAside.push_back({move.userItem, alias ? move.to : "", alias ? move.identity : ""});
            anyAside = true;
        }
    // The record names everything before anything moves.
    if (anyAside) {
        if (makeFolder(record_.aside, kAsideSuffix, "for your items in the way of the game's archive").empty())
            return false;
    } else if (!saveRecord()) {
        abandon();
        os_.messageBox(MessageKind::Error, "The game was not run: the launcher's note of what the run brings into " +
                                               gameDir_ + " could not be written in " +
                                               recordsDirectory(programDir_) + reason() + ". Nothing in " + gameDir_ +
                                               " was changed.");
        return false;
    }
    const std::string aside = emulatorDir_ + record_.aside.name + "\\";
    for (size_t i = 0; i < moves_.size(); ++i) {
        const Placement& move = moves_[i];
        std::string failed;
        if (!move.userItem.empty()) {
            makeParents(os_, aside, move.userItem);
            if (!moveItem(os_, gameDir_ + move.userItem, aside + move.userItem, move.userFolder))
                failed = gameDir_ + move.userItem;
        }
        if (failed.empty() && !moveItem(os_, unpackDir_ + move.from, gameDir_ + move.to, move.folder))
            failed = gameDir_ + move.to;
        if (failed.empty()) continue;
        error_ = os_.lastError();
        undo(i + 1);
        os_.messageBox(MessageKind::Error, "The game was not run: the launcher could not move " + failed + reason() +
                                               ". Nothing in " + gameDir_ + " was changed.");
        return false;
    }
    return true;
}

void KeptFiles::undo(size_t movesDone) {
    const std::string aside = emulatorDir_ + record_.aside.name + "\\";
    for (size_t i = movesDone; i-- > 0;) {
        const Placement& move = moves_[i];
        if (!os_.itemFacts(unpackDir_ + move.from))
            moveItem(os_, gameDir_ + move.to, unpackDir_ + move.from, move.folder);
        if (!move.userItem.empty() && itemWithoutLinks(os_, aside, move.userItem) &&
            !os_.itemFacts(gameDir_ + move.userItem))
            moveItem(os_, aside + move.userItem, gameDir_ + move.userItem, move.userFolder);
    }
    abandon();
}

bool KeptFiles::finish() {
    if (!recorded_ && record_.unpacked.empty()) return true;
    const Finished done = finishRun(os_, record_, emulatorDir_);
    error_ = done.error;
    if (done.outcome != Outcome::Done) return false;
    if (recorded_) dropRecordFile(os_, programDir_, recordPath_);
    recorded_ = false;
    return true;
}

std::string KeptFiles::notPutBackMessage() const {
    return stuckMessage(gameDir_, emulatorDir_ + record_.aside.name + "\\", reason());
}

bool KeptFiles::saveRecord() {
    if (programDir_.empty()) return false;
    error_ = 0;
    // Once on disk, a record stays there until the run is done, the last
    // one written whole standing where a later write failed.
    const bool written = writeRecord(os_, programDir_, recordPath_, record_, error_);
    recorded_ = recorded_ || written;
    return written;
}

std::string KeptFiles::recordPath(Platform& os, const std::string& programDir, const std::string& gameDir) {
    return recordPathFor(programDir, directoryKey(os, gameDir));
}

std::string KeptFiles::recordPathFor(const std::string& programDir, const std::string& key) {
    return recordsDirectory(withBackslash(programDir)) + "run-" + key + ".txt";
}

void KeptFiles::recoverAll(Platform& os, const std::string& programDirectory, const std::string& emulatorDirectory) {
    const std::string programDir = withBackslash(programDirectory), emulatorDir = withBackslash(emulatorDirectory);
    if (!isFullPath(programDir) || !isFullPath(emulatorDir)) return;
    const std::string dir = recordsDirectory(programDir);
    if (!os.directoryExists(dir)) return;
    for (const std::string& name : os.filesIn(dir).value_or(std::vector<std::string>{})) {
        // A record never finished being written: nothing was moved after it.
        if (isUnfinishedRecordName(name)) {
            os.deleteFile(dir + name);
            continue;
        }
        if (!isRecordName(name)) continue;
        const std::optional<std::string> text = os.readFile(dir + name);
        const std::optional<RunRecord> record = text ? parseRecord(*text) : std::nullopt;
        if (!record) {
            setApart(os, dir + name);
            continue;
        }
        // A record of another emulator directory waits for it.
        if (!isBelow(os, record->gameDir, emulatorDir)) continue;
        // A game another launcher runs now is that launcher's to finish.
        const std::unique_ptr<FileLock> lock = os.holdNamedLock("QnLaunch run " + directoryKey(os, record->gameDir));
        if (!lock) continue;
        if (!trustworthy(os, *record, dir + name, programDir, emulatorDir)) {
            setApart(os, dir + name);
            continue;
        }
        const Finished done = finishRun(os, *record, emulatorDir);
        switch (done.outcome) {
        case Outcome::Done: os.deleteFile(dir + name); break;
        case Outcome::Running: break;
        case Outcome::Stuck:
            os.messageBox(MessageKind::Warning, stuckMessage(record->gameDir, emulatorDir + record->aside.name + "\\",
                                                             becauseOf(os, done.error)));
            break;
        }
    }
    os.removeDirectory(dir.substr(0, dir.size() - 1));
}

}  // namespace qn
