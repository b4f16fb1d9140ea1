#include "launch/kept_files.h"

#include <cstdio>

#include "launch/game_directory.h"
#include "launch/run_record.h"
#include "platform/ascii.h"

namespace qn {
namespace {

const char* const kRunningMessage =
    "This game is still running, started by another copy of the launcher or before the launcher last "
    "ended. Try again when it has ended.";

std::string stuckMessage(const std::string& gameDir, const std::string& asideDir) {
    return "Some of your files in " + gameDir +
           " could not be put back after the last run of this game: they are kept in " + asideDir +
           ". Close any program that may be using them and run the game again, or start the launcher "
           "again, to have them put back.";
}

void tellKept(Platform& os, const std::vector<KeptAside>& kept) {
    for (const KeptAside& k : kept)
        os.messageBox(MessageKind::Warning,
                      std::string("Your ") + (k.folder ? "folder " : "file ") + k.item + " was kept as " +
                          k.keptAs + ": the run left a " + (k.folder ? "file" : "folder") + " at " + k.item +
                          " that could not be removed. Look at both and keep what you want.");
}

enum class Outcome { Done, Running, Stuck };

// Finishes a run as its clean-up would have: its own files go, and
// everything aside comes back over what it left.
Outcome finish(Platform& os, const RunRecord& record, const std::string& emulatorDir) {
    for (const ChildId& child : record.children)
        if (os.isRunning(child)) return Outcome::Running;
    for (const std::string& name : record.runsFiles) os.deleteFile(record.gameDir + name);
    const std::string aside = emulatorDir + record.aside + "\\";
    if (record.aside.empty() || !os.directoryExists(aside)) return Outcome::Done;
    PutBack out;
    returnEverything(os, aside, record.gameDir, out);
    if (out.stuck) return Outcome::Stuck;
    tellKept(os, out.kept);
    if (out.kept.empty()) os.removeDirectory(emulatorDir + record.aside);
    return Outcome::Done;
}

// A folder name beside the game's directory that nothing holds yet.
std::string freeAsideName(Platform& os, const std::string& emulatorDir, const std::string& game) {
    std::string name = game + kAsideSuffix;
    for (int n = 2; n < 10000 && (os.fileExists(emulatorDir + name) || os.directoryExists(emulatorDir + name)); ++n)
        name = game + kAsideSuffix + " " + std::to_string(n);
    return name;
}

}  // namespace

KeptFiles::KeptFiles(Platform& os, std::string programDir, std::string emulatorDir, std::string gameName)
    : os_(os), programDir_(withBackslash(std::move(programDir))), emulatorDir_(withBackslash(std::move(emulatorDir))),
      gameName_(std::move(gameName)), gameDir_(emulatorDir_ + gameName_ + "\\") {
    if (!isFullPath(programDir_)) programDir_.clear();
}

KeptFiles::~KeptFiles() = default;

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
    const std::optional<RunRecord> record = readRecord(os_, recordPath_, programDir_, emulatorDir_);
    if (!record) return true;
    switch (finish(os_, *record, emulatorDir_)) {
    case Outcome::Done: dropRecordFile(os_, programDir_, recordPath_); return true;
    case Outcome::Running: os_.messageBox(MessageKind::Warning, kRunningMessage); break;
    case Outcome::Stuck:
        os_.messageBox(MessageKind::Warning, stuckMessage(gameDir_, emulatorDir_ + record->aside + "\\"));
        break;
    }
    lock_.reset();
    return false;
}

bool KeptFiles::setAside(const std::vector<std::string>& runsFiles) {
    runsFiles_ = runsFiles;
    const bool anything = !isEmptyDirectory(os_, gameDir_);
    if (anything) aside_ = freeAsideName(os_, emulatorDir_, gameName_);
    if (!saveRecord()) {
        const std::string where = programDir_.empty() ? "the launcher's directory" : recordsDirectory(programDir_);
        os_.messageBox(MessageKind::Error,
                       "The game was not run: the note of it that the launcher keeps while your files in " +
                           gameDir_ + " are set aside could not be written in " + where +
                           ". Make that folder writable (or move away a file of that name) and try again.");
        return false;
    }
    if (!anything) return true;
    const std::string aside = emulatorDir_ + aside_ + "\\";
    os_.createDirectory(emulatorDir_ + aside_);
    const std::optional<std::string> failed =
        os_.directoryExists(aside) ? moveEverythingAside(os_, gameDir_, aside) : gameDir_;
    if (!failed) return true;
    if (!putBack()) os_.messageBox(MessageKind::Warning, notPutBackMessage());
    os_.messageBox(MessageKind::Error, "The game was not run: your file " + *failed +
                                           " could not be set aside before the run overwrites it. Close "
                                           "any program that may be using it and try again.");
    return false;
}

void KeptFiles::noteChild(const ChildId& child) {
    children_.push_back(child);
    if (recorded_) saveRecord();
}

void KeptFiles::returnFree() {
    if (!aside_.empty()) returnWhereFree(os_, emulatorDir_ + aside_ + "\\", gameDir_);
}

bool KeptFiles::putBack() {
    if (!aside_.empty() && os_.directoryExists(emulatorDir_ + aside_)) {
        PutBack out;
        returnEverything(os_, emulatorDir_ + aside_ + "\\", gameDir_, out);
        if (out.stuck) return false;
        tellKept(os_, out.kept);
        if (out.kept.empty()) os_.removeDirectory(emulatorDir_ + aside_);
    }
    if (recorded_) dropRecord();
    return true;
}

std::string KeptFiles::notPutBackMessage() const {
    return stuckMessage(gameDir_, emulatorDir_ + aside_ + "\\");
}

bool KeptFiles::saveRecord() {
    if (programDir_.empty()) return false;
    const RunRecord record{gameDir_, aside_, children_, runsFiles_};
    recorded_ = writeRecord(os_, programDir_, recordPath_, record);
    return recorded_;
}

void KeptFiles::dropRecord() {
    dropRecordFile(os_, programDir_, recordPath_);
    recorded_ = false;
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
        const std::optional<RunRecord> record = readRecord(os, dir + name, programDir, emulatorDir);
        if (!record) continue;
        // A game another launcher runs now is that launcher's to finish.
        const std::unique_ptr<FileLock> lock = os.holdNamedLock("QnLaunch run " + directoryKey(os, record->gameDir));
        if (!lock) continue;
        switch (finish(os, *record, emulatorDir)) {
        case Outcome::Done: os.deleteFile(dir + name); break;
        case Outcome::Running: break;
        case Outcome::Stuck:
            os.messageBox(MessageKind::Warning, stuckMessage(record->gameDir, emulatorDir + record->aside + "\\"));
            break;
        }
    }
    os.removeDirectory(dir.substr(0, dir.size() - 1));
}

}  // namespace qn
