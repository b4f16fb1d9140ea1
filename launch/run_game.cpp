#include "launch/run_game.h"

#include <algorithm>
#include <optional>

#include "launch/child_paths.h"
#include "launch/game_directory.h"
#include "launch/options.h"
#include "launch/zip_entries.h"
#include "platform/ascii.h"

namespace qn {
namespace {

// Names, below `gameDir` (which ends in '\\'), of the regular files in `dir`
// and, a few levels down, its subdirectories.
void namesBelow(Platform& os, const std::string& gameDir, const std::string& dir, int depth,
                std::vector<std::string>& out) {
    for (const std::string& name : os.filesIn(gameDir + dir).value_or(std::vector<std::string>{}))
        out.push_back(dir + name);
    if (depth > 0)
        for (const std::string& sub : os.subdirectories(gameDir + dir)) namesBelow(os, gameDir, dir + sub + "\\", depth - 1, out);
}

// The user's files in the game's directory that the run would overwrite:
// those the archive holds, or, when it cannot be read, every one; and the
// driver a copy would replace.
std::vector<AtRisk> filesAtRisk(Platform& os, const std::string& gameDir, const std::string& archive,
                                const std::string& driverSource, const std::string& driverName) {
    std::vector<AtRisk> files;
    auto add = [&](AtRisk file) {
        for (AtRisk& known : files)
            if (upperAscii(known.name) == upperAscii(file.name)) {
                known = std::move(file);  // a later entry of the name is the one left there
                return;
            }
        files.push_back(std::move(file));
    };
    if (!archive.empty()) {
        if (const auto entries = readZipEntries(os, archive)) {
            for (const ZipEntry& entry : *entries) {
                const std::optional<std::string> name = archiveEntryPath(entry.name);
                if (entry.directory || !name || name->empty() || !os.fileExists(gameDir + *name)) continue;
                add({*name, entry.size, entry.crc});
            }
        } else {
            std::vector<std::string> names;
            if (os.directoryExists(gameDir)) namesBelow(os, gameDir, "", 8, names);
            for (const std::string& name : names) add({name, {}, {}});
        }
    }
    if (!driverName.empty() && os.fileExists(gameDir + driverName))
        add({driverName, os.fileSize(driverSource), fileCrc(os, driverSource)});
    return files;
}

}  // namespace

GameRun::GameRun(Platform& os, RunWindow& window, const TPaths& paths, const GameCatalogue& catalogue)
    : os_(os), window_(window), paths_(paths), catalogue_(catalogue) {}

std::string GameRun::emulatorDirectory() {
    if (!runEmulatorDir_.empty()) return runEmulatorDir_;
    return fullPath(os_.currentDirectory(), paths_.emulatorPath);
}

bool GameRun::run(const GameName& name, bool drivers, const OptionFlags& options, int resolution) {
    Platform& os = os_;
    const std::string& s = name.str();
    const TPaths& p = paths_;
    // The run changes the current directory as it goes; its paths are read
    // once, from where it starts.
    const std::string startDir = os.currentDirectory();
    runEmulatorDir_ = fullPath(startDir, p.emulatorPath);
    struct Forget {
        GameRun& run;
        ~Forget() {
            run.runEmulatorDir_.clear();
            run.kept_ = nullptr;
        }
    } forget{*this};
    const std::string emulatorDir = runEmulatorDir_;
    const std::string gameDir = emulatorDir + s + "\\";
    const std::string driverName = s + ".qun";
    const bool unpack = !p.romsPath.empty();
    const int slot = catalogue_.findByShortName(s);
    const GameRecord* game = slot >= 0 ? &catalogue_.games[slot] : nullptr;
    // The unzip program reads its command line in the code page: a directory
    // it cannot be given stops the run before anything is touched.
    if (unpack)
        for (const std::string& dir : {fullPath(gameDir, p.romsPath), emulatorDir})
            if (!codePagePath(os, dir)) {
                os.messageBox(MessageKind::Warning, unspellableDirectoryMessage(dir));
                return false;
            }

    // Only a run that writes into the game's directory can overwrite what
    // the user keeps there.
    std::optional<KeptFiles> kept;
    std::vector<std::string> keep;  // required files of the user's that the clean-up leaves alone
    bool hadDriver = false;
    if (unpack || drivers) {
        kept.emplace(os, fullPath(startDir, p.mainPath), gameDir);
        if (!kept->begin()) return false;
        hadDriver = os.fileExists(gameDir + driverName);
        const std::string archive = unpack ? fullPath(gameDir, p.romsPath) + s + ".zip" : std::string();
        const std::string driverSource = drivers ? fullPath(startDir, p.driversPath) + driverName : std::string();
        if (!kept->moveAside(filesAtRisk(os, gameDir, archive, driverSource, drivers ? driverName : "")))
            return false;
        kept_ = &*kept;
    }
    // Required files there before the run are the user's: the clean-up
    // leaves them, but for those the run replaced (set aside, and back later).
    if (unpack && game)
        for (const std::string& name : game->RequiredFiles)
            if (staysInsideGameDirectory(name) && (os.fileExists(gameDir + name) || kept->isAside(name)))
                keep.push_back(name);
    if (unpack && !unpackRoms(name)) {
        if (!kept->putBack()) os.messageBox(MessageKind::Warning, kept->notPutBackMessage());
        return false;
    }

    const std::string commandLine = emulatorCommandLine(p.emulatorPath, s, options, resolution);
    // Only a driver the launcher put there is removed afterwards; one the
    // user keeps there comes back from where it was set aside.
    const bool copiedDriver = drivers && copyDriverIn(name) && !hadDriver;
    if (kept) {
        kept->returnUntouched();
        keep.erase(std::remove_if(keep.begin(), keep.end(),
                                  [&](const std::string& name) { return kept->isAside(name); }),
                   keep.end());
    }

    os.setCurrentDirectory(emulatorDir);
    ProcessRequest emulator;
    emulator.applicationName = emulatorDir + "quon.exe";
    emulator.commandLine = commandLine;
    emulator.inheritHandles = false;
    emulator.newConsole = true;
    emulator.show = ShowState::Normal;
    emulator.wait = true;
    emulator.endsWithLauncher = true;
    bool hidden = false;
    emulator.onStarted = [&](const ChildId& child) {
        if (kept) kept->noteChild(child);
        window_.hideForRun();
        hidden = true;
    };
    const ProcessResult result = os.runProcess(emulator);
    if (!result.started) {
        if (result.error == 2)
            os.messageBox(MessageKind::Warning, "QUON program not found in " + p.emulatorPath + " directory");
        else
            os.messageBox(MessageKind::Error, "Error creating QUON process");
    }

    if (unpack) deleteUnpackedRoms(name, keep);
    if (copiedDriver) os.deleteFile(gameDir + driverName);
    const bool allBack = !kept || kept->putBack();
    if (hidden) window_.showAfterRun();
    if (!allBack) os.messageBox(MessageKind::Warning, kept->notPutBackMessage());
    return true;
}

bool GameRun::unpackRoms(const GameName& name) {
    Platform& os = os_;
    const TPaths& p = paths_;
    const std::string& s = name.str();
    const std::string emulatorDir = emulatorDirectory();
    os.setCurrentDirectory(emulatorDir);
    os.createDirectory(emulatorDir + s);
    // Unpacked anywhere else, the archive would overwrite what is there.
    if (!os.setCurrentDirectory(emulatorDir + s)) {
        os.messageBox(MessageKind::Error, "Error creating the game's directory " + emulatorDir + s);
        return false;
    }
    // Without a form the code page spells the long one is the best there is.
    const std::string roms = codePagePath(os, p.romsPath).value_or(p.romsPath);
    const std::string emulator = codePagePath(os, emulatorDir).value_or(emulatorDir);

    ProcessRequest unzip;
    // Found as the system finds a program by the name a user types; else
    // that exact file, which names it in the error when there is none.
    unzip.applicationName = os.findProgram(p.unzipProgram).value_or(p.unzipProgram);
    unzip.commandLine = unzipCommandLine(p.unzipProgram, roms + s + ".zip", emulator + s);
    unzip.inheritHandles = true;
    unzip.newConsole = true;
    unzip.show = ShowState::Minimized;
    unzip.wait = true;
    unzip.endsWithLauncher = true;
    unzip.onStarted = [this](const ChildId& child) {
        if (kept_) kept_->noteChild(child);
    };
    window_.showBusy(true);
    const ProcessResult result = os.runProcess(unzip);
    window_.showBusy(false);
    if (result.started) return true;
    os.messageBox(MessageKind::Plain, std::to_string(result.error));
    window_.showRunStatus("Check if the file " + p.unzipProgram + " exists and if it's v2.04g+");
    os.messageBox(MessageKind::Error, "Error creating PkUnzip process");
    return false;
}

bool GameRun::copyDriverIn(const GameName& name) {
    Platform& os = os_;
    const std::string& s = name.str();
    const std::string emulatorDir = emulatorDirectory();
    os.setCurrentDirectory(emulatorDir);
    os.createDirectory(emulatorDir + s);
    // Copied beside it, then put in its place: the driver there is never
    // half of one, whenever the launcher ends.
    const std::string driver = emulatorDir + s + "\\" + s + ".qun";
    if (os.copyFile(paths_.driversPath + s + ".qun", driver + ".qncopy") &&
        os.moveFile(driver + ".qncopy", driver, true))
        return true;
    os.deleteFile(driver + ".qncopy");
    return false;
}

void GameRun::deleteUnpackedRoms(const GameName& name, const std::vector<std::string>& keep) {
    Platform& os = os_;
    const std::string& s = name.str();
    const int slot = catalogue_.findByShortName(s);
    if (slot < 0) return;
    const std::string gameDir = emulatorDirectory() + s + "\\";
    // No game directory, nothing of the run's to delete.
    if (!os.setCurrentDirectory(gameDir)) return;
    const std::string protectedName = upperAscii(s) + ".QUN";
    const GameRecord& game = catalogue_.games[slot];
    for (const std::string& name : game.RequiredFiles) {
        if (name == protectedName || !staysInsideGameDirectory(name)) continue;
        if (std::find(keep.begin(), keep.end(), name) != keep.end()) continue;
        os.deleteFile(gameDir + name);
    }
}

}  // namespace qn
