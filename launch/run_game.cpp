#include "launch/run_game.h"

#include <algorithm>

#include "launch/game_directory.h"
#include "launch/options.h"
#include "launch/run_journal.h"
#include "platform/ascii.h"

namespace qn {
namespace {

// What a run will do to the game's directory, looked at before it starts.
struct RunFiles {
    std::vector<std::string> userFiles;  // there now and possibly overwritten
    std::vector<std::string> runFiles;   // added by the run and removed by its clean-up
    std::vector<std::string> keep;       // required files already there, by name
    bool hadDriver = false;
};

RunFiles planRun(Platform& os, const GameRecord* game, const std::string& s, const std::string& gameDir,
                 bool unpack, bool drivers) {
    RunFiles files;
    const std::string driver = gameDir + s + ".qun";
    files.hadDriver = os.fileExists(driver);
    if (unpack) {
        // The archive may hold any file: everything there now is the user's.
        files.userFiles = filesBelow(os, gameDir);
        const std::string protectedName = upperAscii(s) + ".QUN";
        for (int j = 0; game && j < game->RequiredFileCount; ++j) {
            const std::string& name = game->RequiredFiles[j];
            if (!staysInsideGameDirectory(name)) continue;
            if (os.fileExists(gameDir + name))
                files.keep.push_back(name);
            else if (name != protectedName)
                files.runFiles.push_back(gameDir + name);
        }
    }
    if (drivers) (files.hadDriver ? files.userFiles : files.runFiles).push_back(driver);
    return files;
}

}  // namespace

GameRun::GameRun(Platform& os, RunWindow& window, const TPaths& paths, const GameCatalogue& catalogue)
    : os_(os), window_(window), paths_(paths), catalogue_(catalogue) {}

std::string GameRun::emulatorDirectory() {
    if (!runEmulatorDir_.empty()) return runEmulatorDir_;
    return fullPath(os_.currentDirectory(), paths_.emulatorPath);
}

bool GameRun::run(const std::string& s, bool drivers, const OptionFlags& options, int resolution) {
    Platform& os = os_;
    const TPaths& p = paths_;
    // The run changes the current directory as it goes; its paths are read
    // once, from where it starts.
    runEmulatorDir_ = fullPath(os.currentDirectory(), p.emulatorPath);
    struct ForgetDirectory {
        std::string& dir;
        ~ForgetDirectory() { dir.clear(); }
    } forget{runEmulatorDir_};
    const std::string emulatorDir = runEmulatorDir_;
    const std::string gameDir = emulatorDir + s + "\\";
    const std::string driver = gameDir + s + ".qun";
    const bool unpack = !p.romsPath.empty();
    const int slot = catalogue_.findByShortName(s);
    const RunFiles files =
        planRun(os, slot >= 0 ? &catalogue_.games[slot] : nullptr, s, gameDir, unpack, drivers);

    const std::string backupDir = runBackupDirectory(p.mainPath);
    RunJournal journal(os, backupDir);
    if (unpack || drivers) {
        switch (journal.start(files.userFiles, files.runFiles)) {
        case RunJournal::Start::Kept: break;
        case RunJournal::Start::Busy:
            os.messageBox(MessageKind::Warning,
                          "Another copy of the launcher is running a game. Try again when it has ended.");
            return false;
        case RunJournal::Start::Stuck:
            os.messageBox(MessageKind::Warning,
                          RunJournal::notPutBackMessage(backupDir) + "\rThe game was not run.");
            return false;
        case RunJournal::Start::Failed:
            // Without a journal a run may go on only when it overwrites
            // nothing of the user's.
            if (files.userFiles.empty()) break;
            os.messageBox(MessageKind::Error, "The game was not run: the files in " + gameDir +
                                                  " that it could overwrite could not be copied "
                                                  "to a safe place first.");
            return false;
        }
    }
    if (unpack && !unpackRoms(s)) {
        journal.forgetUnchanged();
        if (!journal.finish()) os.messageBox(MessageKind::Warning, RunJournal::notPutBackMessage(backupDir));
        return false;
    }

    const std::string commandLine = emulatorCommandLine(p.emulatorPath, s, options, resolution);
    // Only a driver the launcher put there is removed afterwards; one the
    // user keeps there is put back as it was by the journal.
    const bool copiedDriver = drivers && copyDriverIn(s) && !files.hadDriver;
    journal.forgetUnchanged();

    os.setCurrentDirectory(emulatorDir);
    ProcessRequest emulator;
    emulator.applicationName = emulatorDir + "quon.exe";
    emulator.commandLine = commandLine;
    emulator.inheritHandles = false;
    emulator.newConsole = true;
    emulator.show = ShowState::Normal;
    emulator.wait = true;
    bool hidden = false;
    emulator.onStarted = [&] {
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

    if (unpack) deleteUnpackedRoms(s, files.keep);
    if (copiedDriver) os.deleteFile(driver);
    const bool allBack = journal.finish();

    if (hidden) window_.showAfterRun();
    if (!allBack) os.messageBox(MessageKind::Warning, RunJournal::notPutBackMessage(backupDir));
    return true;
}

bool GameRun::unpackRoms(const std::string& s) {
    Platform& os = os_;
    const TPaths& p = paths_;
    if (!isPlainDirectoryName(s)) return false;
    const std::string emulatorDir = emulatorDirectory();
    os.setCurrentDirectory(emulatorDir);
    os.createDirectory(emulatorDir + s);
    // Unpacked anywhere else, the archive would overwrite what is there.
    if (!os.setCurrentDirectory(emulatorDir + s)) {
        os.messageBox(MessageKind::Error, "Error creating the game's directory " + emulatorDir + s);
        return false;
    }
    // Without a short form the long one is the best there is.
    const std::string roms = os.shortPathName(p.romsPath).value_or(p.romsPath);
    const std::string emulator = os.shortPathName(emulatorDir).value_or(emulatorDir);

    ProcessRequest unzip;
    unzip.applicationName = p.unzipProgram;
    unzip.commandLine = p.unzipProgram + " -o " + roms + s + ".zip " + emulator + s;
    unzip.inheritHandles = true;
    unzip.newConsole = true;
    unzip.show = ShowState::Minimized;
    unzip.wait = true;
    const ProcessResult result = os.runProcess(unzip);
    if (result.started) return true;
    os.messageBox(MessageKind::Plain, std::to_string(result.error));
    window_.showRunStatus("Check if the file " + p.unzipProgram + " exists and if it's v2.04g+");
    os.messageBox(MessageKind::Error, "Error creating PkUnzip process");
    return false;
}

bool GameRun::copyDriverIn(const std::string& s) {
    Platform& os = os_;
    if (!isPlainDirectoryName(s)) return false;
    const std::string emulatorDir = emulatorDirectory();
    os.setCurrentDirectory(emulatorDir);
    os.createDirectory(emulatorDir + s);
    return os.copyFile(paths_.driversPath + s + ".qun", emulatorDir + s + "\\" + s + ".qun");
}

void GameRun::deleteUnpackedRoms(const std::string& s, const std::vector<std::string>& keep) {
    Platform& os = os_;
    const int slot = catalogue_.findByShortName(s);
    if (slot < 0 || !isPlainDirectoryName(s)) return;
    const std::string gameDir = emulatorDirectory() + s + "\\";
    // No game directory, nothing of the run's to delete.
    if (!os.setCurrentDirectory(gameDir)) return;
    const std::string protectedName = upperAscii(s) + ".QUN";
    const GameRecord& game = catalogue_.games[slot];
    for (int j = 0; j < game.RequiredFileCount; ++j) {
        const std::string& name = game.RequiredFiles[j];
        if (name == protectedName || !staysInsideGameDirectory(name)) continue;
        if (std::find(keep.begin(), keep.end(), name) != keep.end()) continue;
        os.deleteFile(gameDir + name);
    }
}

}  // namespace qn
