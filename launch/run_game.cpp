// Running a game: unpack, copy the driver, start the emulator with the
// launcher hidden, clean up, come back.
#include <algorithm>

#include "app/form1.h"

namespace qn {
namespace {

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// A name from reqfiles.dat that stays inside the game's directory: no
// drive, no root, no parent steps.
bool staysInside(const std::string& name) {
    if (name.empty() || name.find(':') != std::string::npos) return false;
    if (name[0] == '\\' || name[0] == '/') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

void TForm1::RunSelectedGame() {
    Platform& os = app_.os;
    TPaths& p = app_.tpaths;
    if (!os.fileExists(p.emulatorPath + "quon.exe")) Edit1.setText("");
    if (p.emulatorPath.empty()) {
        os.messageBox(MessageKind::Warning, "QUON program not found");
        return;
    }
    if (CheckBox7.checked() && p.unzipProgram.empty()) {
        os.messageBox(MessageKind::Information, "Select PkUnzip path before running a compressed ROM");
        return;
    }
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    const std::string s = ListView1.row(row)[1];
    const std::string gameDir = p.emulatorPath + s + "\\";

    // Files of the game that were there before unpacking belong to the user
    // and survive the clean-up.
    std::vector<std::string> keep;
    const int slot = app_.catalogue.findByShortName(s);
    const bool unpack = !p.romsPath.empty();
    if (unpack && slot >= 0) {
        const GameRecord& game = app_.catalogue.games[slot];
        for (int j = 0; j < game.RequiredFileCount; ++j)
            if (os.fileExists(gameDir + game.RequiredFiles[j])) keep.push_back(game.RequiredFiles[j]);
    }
    if (unpack && !UnpackRoms(s)) return;

    const std::string commandLine = BuildEmulatorCommandLine(p.emulatorPath, s);
    const std::string driver = gameDir + s + ".qun";
    // Only a driver the launcher put there is removed afterwards: one the
    // user keeps in the game's directory stays.
    const bool hadDriver = os.fileExists(driver);
    const bool copiedDriver = CheckBox8.checked() && CopyDriverIn(s) && !hadDriver;

    os.setCurrentDirectory(p.emulatorPath);
    ProcessRequest emulator;
    emulator.commandLine = commandLine;
    emulator.inheritHandles = false;
    emulator.newConsole = true;
    emulator.show = ShowState::Normal;
    emulator.wait = true;
    bool hidden = false;
    emulator.onStarted = [&] {
        hide();
        hidden = true;
    };
    const ProcessResult result = os.runProcess(emulator);
    if (!result.started) {
        if (result.error == 2)
            os.messageBox(MessageKind::Warning, "QUON program not found in " + p.emulatorPath + " directory");
        else
            os.messageBox(MessageKind::Error, "Error creating QUON process");
    }

    if (unpack) DeleteUnpackedRoms(s, keep);
    if (copiedDriver) os.deleteFile(driver);

    if (hidden) show();
    ListView1.setFocus();
}

bool TForm1::UnpackRoms(const std::string& s) {
    Platform& os = app_.os;
    const TPaths& p = app_.tpaths;
    os.setCurrentDirectory(p.emulatorPath);
    os.createDirectory(p.emulatorPath + s);
    os.setCurrentDirectory(p.emulatorPath + s);
    // Without a short form the long one is the best there is.
    const std::string roms = os.shortPathName(p.romsPath).value_or(p.romsPath);
    const std::string emulator = os.shortPathName(p.emulatorPath).value_or(p.emulatorPath);

    ProcessRequest unzip;
    unzip.commandLine = p.unzipProgram + " -o " + roms + s + ".zip " + emulator + s;
    unzip.inheritHandles = true;
    unzip.newConsole = true;
    unzip.show = ShowState::Minimized;
    unzip.wait = true;
    const ProcessResult result = os.runProcess(unzip);
    if (result.started) return true;
    os.messageBox(MessageKind::Plain, std::to_string(result.error));
    StatusBar1.setPanelText(3, "Check if the file " + p.unzipProgram + " exists and if it's v2.04g+");
    os.messageBox(MessageKind::Error, "Error creating PkUnzip process");
    return false;
}

bool TForm1::CopyDriverIn(const std::string& s) {
    Platform& os = app_.os;
    const TPaths& p = app_.tpaths;
    os.setCurrentDirectory(p.emulatorPath);
    os.createDirectory(p.emulatorPath + s);
    return os.copyFile(p.driversPath + s + ".qun", p.emulatorPath + s + "\\" + s + ".qun");
}

void TForm1::DeleteUnpackedRoms(const std::string& s, const std::vector<std::string>& keep) {
    Platform& os = app_.os;
    const int slot = app_.catalogue.findByShortName(s);
    if (slot < 0) return;
    os.setCurrentDirectory(app_.tpaths.emulatorPath + s);
    const std::string protectedName = upperAscii(s) + ".QUN";
    const GameRecord& game = app_.catalogue.games[slot];
    for (int j = 0; j < game.RequiredFileCount; ++j) {
        const std::string& name = game.RequiredFiles[j];
        if (name == protectedName || !staysInside(name)) continue;
        if (std::find(keep.begin(), keep.end(), name) != keep.end()) continue;
        os.deleteFile(name);
    }
}

}  // namespace qn
