#include "launch/run_game.h"

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
    bool copiedDriver = false;
    bool hidden = false;
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
    const std::string roms = fullPath(run.at.gameDir, paths_.romsPath);
    if (run.unpack && !codePagePath(os_, roms)) {
        os_.messageBox(MessageKind::Warning, unspellableDirectoryMessage(roms));
        return false;
    }
    if (!prepare(run)) return false;
    if (run.unpack && !unpack(run)) return false;
    run.copiedDriver = drivers && copyDriverIn(run);
    if (run.kept && !run.kept->bringIn(runsFiles(run))) return false;
    launch(run, options, resolution);
    cleanUp(run);
    return true;
}

bool GameRun::prepare(Run& run) {
    // Only a run that writes into the game's directory can overwrite what
    // the user keeps there.
    if (!run.unpack && !run.drivers) return true;
    const std::string& gameDir = run.at.gameDir;
    if (!os_.directoryExists(gameDir) && !os_.createDirectory(gameDir.substr(0, gameDir.size() - 1))) {
        os_.messageBox(MessageKind::Error, "Error creating the game's directory " + run.at.emulatorDir +
                                               run.name.str() + becauseOf(os_, os_.lastError()));
        return false;
    }
    run.kept.emplace(os_, run.at.programDir, run.at.emulatorDir, run.name.str());
    return run.kept->begin() && run.kept->makeUnpackFolder();
}

std::vector<std::string> GameRun::runsFiles(const Run& run) const {
    std::vector<std::string> names;
    if (run.unpack && run.game) {
        const std::string protectedName = upperAscii(run.name.str()) + ".QUN";
        for (const std::string& name : run.game->RequiredFiles)
            if (name != protectedName && staysInsideGameDirectory(name)) names.push_back(name);
    }
    if (run.copiedDriver) names.push_back(run.name.str() + ".qun");
    return names;
}

bool GameRun::unpack(Run& run) {
    const TPaths& p = paths_;
    const std::string& s = run.name.str();
    const std::string& target = run.kept->unpackFolder();
    const std::optional<std::string> spelt = codePagePath(os_, target.substr(0, target.size() - 1));
    if (!spelt) {
        run.kept->abandon();
        os_.messageBox(MessageKind::Warning, unspellableDirectoryMessage(target));
        return false;
    }
    // The unzip program runs in the game's directory, and may be found there.
    os_.setCurrentDirectory(run.at.gameDir);
    // Without a form the code page spells the long one is the best there is.
    const std::string roms = codePagePath(os_, p.romsPath).value_or(p.romsPath);
    ProcessRequest unzip;
    // Found as the system finds a program by the name a user types; else
    // that exact file, which names it in the error when there is none.
    unzip.applicationName = os_.findProgram(p.unzipProgram).value_or(p.unzipProgram);
    unzip.commandLine = unzipCommandLine(p.unzipProgram, roms + s + ".zip", *spelt);
    unzip.inheritHandles = true;
    unzip.newConsole = true;
    unzip.show = ShowState::Minimized;
    unzip.wait = true;
    unzip.endsWithLauncher = true;
    unzip.onStarted = [&run](const ChildId& child) { run.kept->noteChild(child); };
    window_.showBusy(true);
    const ProcessResult result = os_.runProcess(unzip);
    window_.showBusy(false);
    // 1 says some entries were skipped; from 2 on nothing it wrote is trusted.
    if (result.started && result.exitCode < 2) return true;
    run.kept->abandon();
    if (result.started) {
        os_.messageBox(MessageKind::Error, "The game was not run: the unzip program ended with exit code " +
                                               std::to_string(result.exitCode) + " while it unpacked " + roms + s +
                                               ".zip (a damaged archive, or a full disk, say). Nothing in " +
                                               run.at.gameDir + " was changed.");
        return false;
    }
    os_.messageBox(MessageKind::Plain, std::to_string(result.error));
    window_.showRunStatus("Check if the file " + p.unzipProgram + " exists and if it's v2.04g+");
    os_.messageBox(MessageKind::Error, "Error creating PkUnzip process" + becauseOf(os_, result.error));
    return false;
}

bool GameRun::copyDriverIn(const Run& run) {
    // Into the run's own folder, over any driver the archive brought: it
    // comes into the game's directory with the rest.
    return os_.copyFile(run.at.driverSource, run.kept->unpackFolder() + run.name.str() + ".qun");
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
        os_.messageBox(MessageKind::Error, "Error creating QUON process" + becauseOf(os_, result.error));
}

void GameRun::cleanUp(Run& run) {
    const bool allBack = !run.kept || run.kept->finish();
    if (run.hidden) window_.showAfterRun();
    if (!allBack) os_.messageBox(MessageKind::Warning, run.kept->notPutBackMessage());
}

}  // namespace qn
