// Requests to run the selected game, and the explanation when it cannot run.
#include "app/main_window/main_window.h"
#include "catalogue/availability.h"
#include "launch/game_directory.h"

namespace qn {

void TForm1::ListView1DblClick() { ActivateSelectedGame(); }

// Enter does what a double click on the selected row does, so the keyboard
// alone can run a game in either interface.
void TForm1::ListView1KeyPress(char key) {
    if (key == '\r') ActivateSelectedGame();
}

void TForm1::ListView1Click() {
    if (app_.singleClick) ActivateSelectedGame();
}

void TForm1::SpeedButton1Click() { ActivateSelectedGame(); }

void TForm1::ActivateSelectedGame() {
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    // Such a name would put the game's files, and its clean-up, outside a
    // directory of its own, or add words to the command lines.
    if (!isPlainDirectoryName(ListView1.row(row)[1])) {
        app_.os.messageBox(MessageKind::Warning,
                           unusableShortNameMessage(ListView1.row(row)[0], ListView1.row(row)[1]));
        return;
    }
    if (RowIsRunnable(row))
        RunSelectedGame();
    else
        ShowUnavailabilityReport();
}

void TForm1::ShowUnavailabilityReport() {
    AppState& state = app_.state;
    Platform& os = app_.os;
    const TPaths& p = app_.tpaths;
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    const std::string title = ListView1.row(row)[0];
    const std::string s = ListView1.row(row)[1];

    state.ReportInProgress = true;
    std::string report = title + " is not available because:\r";
    if (CheckBox7.checked()) {
        if (Edit3.text().empty())
            report += "\r   - The compressed ROMs path wasn't selected";
        else if (!os.fileExists(p.romsPath + s + ".zip"))
            report += "\r   - The compressed file " + p.romsPath + s + ".zip wasn't found";
    } else {
        // Judge the ROM files alone, then put the list's view back.
        std::array<bool, MaxGames> savedAvailable;
        for (int g = 0; g < MaxGames; ++g) savedAvailable[g] = app_.catalogue.games[g].Available;
        const bool savedDrivers = CheckBox8.checked();
        CheckBox8.setChecked(false);
        EvaluateAvailability(app_);
        const int slot = app_.catalogue.findByShortName(s);
        if (p.emulatorPath.empty()) {
            report += "\r   - You have not selected the QUON path";
        } else {
            if (slot >= 0) {
                const GameRecord& game = app_.catalogue.games[slot];
                if (!game.Available)
                    report += "\r   - It wasn't found in " + p.emulatorPath + s + "\\. \r     These files are missing:\r";
                for (int j = 0; j < game.RequiredFileCount; ++j)
                    if (game.MissingFiles[j])
                        report += "\r   - " + p.emulatorPath + s + "\\" + game.RequiredFiles[j];
            }
            report += "\r";
        }
        for (int g = 0; g < MaxGames; ++g) app_.catalogue.games[g].Available = savedAvailable[g];
        CheckBox8.setChecked(savedDrivers);
    }
    if (!CheckBox8.checked()) {
        if (!os.fileExists(p.emulatorPath + s + "\\" + s + ".qun"))
            report += "\r   - The driver file " + p.emulatorPath + s + "\\" + s + ".qun wasn't found";
    } else if (Edit4.text().empty()) {
        report += "\r   - The drivers path wasn't selected";
    } else if (!os.fileExists(p.driversPath + s + ".qun")) {
        report += "\r   - The driver file " + p.driversPath + s + ".qun wasn't found";
    }
    os.messageBox(MessageKind::Information, report);
    state.ReportInProgress = false;
}

}  // namespace qn
