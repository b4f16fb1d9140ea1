#include "launch/run_game.h"

#include <algorithm>
#include <optional>

#include "launch/child_paths.h"
#include "launch/game_directory.h"
#include "launch/options.h"
#include "platform/ascii.h"

namespace qn {

struct GameRun::Run {
    Run(const GameName& n, RunPlaces places) : name(n), at(std::move(places)) {}
    const GameName& name;
    RunPlaces at;
    bool drivers = false;
    bool unpack = false;
    const GameRecord* game = nullptr;
    std::optional<KeptFiles> kept;  // for a run that writes into the game's directory
    std::vector<std::string> keep;  // required files of the user's that the clean-up leaves alone
    bool hadDriver = false;
    bool copiedDriver = false;
    bool hidden = false;
    std::string unzipEmulatorDir;  // the emulator directory as the unzip program is given it
};

GameRun::GameRun(Platform& os, RunWindow& window, const TPaths& paths, GameCatalogue& catalogue)
    : os_(os), window_(window), paths_(paths), catalogue_(catalogue) {}

RunPlaces GameRun::placesOf(const GameName& game) {
    const std::string startDir = os_.currentDirectory();
    RunPlaces at;
    at.programDir = fullPath(startDir, paths_.mainPath);
    at.emulatorDir = fullPath(startDir, paths_.emulatorPath);
    at.gameDir = at.emulatorDir + game.str() + "\\";
    at.driverSource = fullPath(startDir, paths_.driversPath) + game.str() + ".qun";
    return at;
}

bool GameRun::run(const GameName& name, bool drivers, const OptionFlags& options, int resolution) {
    Run run{name, placesOf(name)};
    run.drivers = drivers;
    run.unpack = !paths_.romsPath.empty();
    const int slot = catalogue_.findByShortName(name.str());
    run.game = slot >= 0 ? &catalogue_.withFiles(slot) : nullptr;
    // The unzip program reads its command line in the code page: a directory
    // it cannot be given stops the run before anything is touched.
    auto spelt = [this](const std::string& dir) {
        std::optional<std::string> form = codePagePath(os_, dir);
        if (!form) os_.messageBox(MessageKind::Warning, unspellableDirectoryMessage(dir));
        return form;
    };
    if (run.unpack) {
        if (!spelt(fullPath(run.at.gameDir, paths_.romsPath))) return false;
        const std::optional<std::string> emulator = spelt(run.at.emulatorDir);
        if (!emulator) return false;
        run.unzipEmulatorDir = *emulator;
    }
    if (!prepare(run)) return false;
    if (run.unpack && !unpack(run)) return false;
    // Only a driver the launcher put there is removed afterwards; one the
    // user keeps there comes back from where it was set aside.
    run.copiedDriver = drivers && copyDriverIn(run) && !run.hadDriver;
    if (run.kept) run.kept->returnFree();
    launch(run, options, resolution);
    cleanUp(run);
    return true;
}

bool GameRun::prepare(Run& run) {
    // Only a run that writes into the game's directory can overwrite what
    // the user keeps there.
    if (!run.unpack && !run.drivers) return true;
    const std::string& gameDir = run.at.gameDir;
    if (!os_.directoryExists(gameDir)) os_.createDirectory(gameDir.substr(0, gameDir.size() - 1));
    if (!os_.directoryExists(gameDir)) {
        os_.messageBox(MessageKind::Error, "Error creating the game's directory " + run.at.emulatorDir + run.name.str());
        return false;
    }
    run.kept.emplace(os_, run.at.programDir, run.at.emulatorDir, run.name.str());
    if (!run.kept->begin()) return false;
    run.hadDriver = os_.fileExists(gameDir + run.name.str() + ".qun");
    // Required files there before the run are the user's: the clean-up
    // leaves them.
    if (run.unpack && run.game)
        for (const std::string& name : run.game->RequiredFiles)
            if (staysInsideGameDirectory(name) && os_.fileExists(gameDir + name)) run.keep.push_back(name);
    return run.kept->setAside(runsFiles(run));
}

std::vector<std::string> GameRun::runsFiles(const Run& run) const {
    std::vector<std::string> names;
    const std::string driver = run.name.str() + ".qun";
    if (run.unpack && run.game) {
        const std::string protectedName = upperAscii(run.name.str()) + ".QUN";
        for (const std::string& name : run.game->RequiredFiles)
            if (name != protectedName && staysInsideGameDirectory(name) &&
                std::find(run.keep.begin(), run.keep.end(), name) == run.keep.end())
                names.push_back(name);
    }
    if (run.drivers) {
        if (!run.hadDriver) names.push_back(driver);
        names.push_back(driver + ".qncopy");
    }
    return names;
}

bool GameRun::unpack(Run& run) {
    const TPaths& p = paths_;
    const std::string& s = run.name.str();
    // The unzip program runs in the game's directory, and may be found there.
    os_.setCurrentDirectory(run.at.gameDir);
    // Without a form the code page spells the long one is the best there is.
    const std::string roms = codePagePath(os_, p.romsPath).value_or(p.romsPath);
    ProcessRequest unzip;
    // Found as the system finds a program by the name a user types; else
    // that exact file, which names it in the error when there is none.
    unzip.applicationName = os_.findProgram(p.unzipProgram).value_or(p.unzipProgram);
    unzip.commandLine = unzipCommandLine(p.unzipProgram, roms + s + ".zip", run.unzipEmulatorDir + s);
    unzip.inheritHandles = true;
    unzip.newConsole = true;
    unzip.show = ShowState::Minimized;
    unzip.wait = true;
    unzip.endsWithLauncher = true;
    unzip.onStarted = [&run](const ChildId& child) { run.kept->noteChild(child); };
    window_.showBusy(true);
    const ProcessResult result = os_.runProcess(unzip);
    window_.showBusy(false);
    if (result.started) return true;
    if (!run.kept->putBack()) os_.messageBox(MessageKind::Warning, run.kept->notPutBackMessage());
    os_.messageBox(MessageKind::Plain, std::to_string(result.error));
    window_.showRunStatus("Check if the file " + p.unzipProgram + " exists and if it's v2.04g+");
    os_.messageBox(MessageKind::Error, "Error creating PkUnzip process");
    return false;
}

bool GameRun::copyDriverIn(const Run& run) {
    // Copied beside it, then put in its place: the driver there is never
    // half of one, whenever the launcher ends.
    const std::string driver = run.at.gameDir + run.name.str() + ".qun";
    if (os_.copyFile(run.at.driverSource, driver + ".qncopy") && os_.moveFile(driver + ".qncopy", driver, true))
        return true;
    os_.deleteFile(driver + ".qncopy");
    return false;
}

void GameRun::launch(Run& run, const OptionFlags& options, int resolution) {
    ProcessRequest emulator;
    emulator.applicationName = run.at.emulatorDir + "quon.exe";
    emulator.commandLine = emulatorCommandLine(paths_.emulatorPath, run.name.str(), options, resolution);
    emulator.inheritHandles = false;
    emulator.newConsole = true;
    emulator.show = ShowState::Normal;
    emulator.wait = true;
    emulator.endsWithLauncher = true;
    emulator.onStarted = [&](const ChildId& child) {
        if (run.kept) run.kept->noteChild(child);
        window_.hideForRun();
        run.hidden = true;
    };
    os_.setCurrentDirectory(run.at.emulatorDir);
    const ProcessResult result = os_.runProcess(emulator);
    if (result.started) return;
    if (result.error == 2)
        os_.messageBox(MessageKind::Warning, "QUON program not found in " + paths_.emulatorPath + " directory");
    else
        os_.messageBox(MessageKind::Error, "Error creating QUON process");
}

void GameRun::cleanUp(Run& run) {
    if (run.unpack) deleteUnpackedRoms(run.at, run.name, run.keep);
    if (run.copiedDriver) os_.deleteFile(run.at.gameDir + run.name.str() + ".qun");
    const bool allBack = !run.kept || run.kept->putBack();
    if (run.hidden) window_.showAfterRun();
    if (!allBack) os_.messageBox(MessageKind::Warning, run.kept->notPutBackMessage());
}

void GameRun::deleteUnpackedRoms(const RunPlaces& at, const GameName& name, const std::vector<std::string>& keep) {
    const int slot = catalogue_.findByShortName(name.str());
    // No game directory, nothing of the run's to delete.
    if (slot < 0 || !os_.directoryExists(at.gameDir)) return;
    const std::string protectedName = upperAscii(name.str()) + ".QUN";
    for (const std::string& file : catalogue_.withFiles(slot).RequiredFiles) {
        if (file == protectedName || !staysInsideGameDirectory(file)) continue;
        if (std::find(keep.begin(), keep.end(), file) != keep.end()) continue;
        os_.deleteFile(at.gameDir + file);
    }
}

}  // namespace qn
