// Requests to run the selected game: the run itself, or the explanation
// when it cannot run.
#include "app/main_window/main_window.h"
#include "catalogue/unavailability_report.h"
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
    // The windows answer what is sent to them while a run waits for a child;
    // a request arriving so must not start another run inside this one.
    if (running_) return;
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    // Any other name would put the game's files, and its clean-up, outside
    // a directory of its own, or add words to the command lines.
    const GameRecord& game = games_.game(row);
    const std::optional<GameName> name = GameName::parse(game.ShortName);
    if (!name) {
        app_.os.messageBox(MessageKind::Warning, unusableShortNameMessage(game.Title, game.ShortName));
        return;
    }
    if (RowIsRunnable(row))
        RunSelectedGame(*name);
    else
        ShowUnavailabilityReport();
}

void TForm1::RunSelectedGame(const GameName& name) {
    Platform& os = app_.os;
    const TPaths& p = app_.tpaths;
    if (!os.fileExists(p.emulatorPath + "quon.exe")) paths.take(PathBox::Emulator, "");
    if (p.emulatorPath.empty()) {
        os.messageBox(MessageKind::Warning, "QUON program not found");
        return;
    }
    if (romMode().compressed && p.unzipProgram.empty()) {
        os.messageBox(MessageKind::Information, "Select PkUnzip path before running a compressed ROM");
        return;
    }
    struct Running {
        bool& flag;
        Platform& os;
        ~Running() {
            flag = false;
            // Clicks and keys given while the window was frozen or hidden
            // were meant for what it showed then, not for what it shows now.
            os.dropQueuedInput();
        }
    } running{running_, os};
    running_ = true;
    enterOutsideDirectory();
    const bool ran = GameRun(os, *this, p, app_.catalogue).run(name, romMode().driversPath, shownOptions(),
                                                               ListBox1.itemIndex());
    app_.state.outsideDirectory = os.currentDirectory();  // where the run left it
    if (ran) ListView1.setFocus();
}

void TForm1::ShowUnavailabilityReport() {
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    const GameRecord& game = games_.game(row);
    if (!romMode().compressed) app_.state.outsideDirectory = kLookupBase;  // where it looked
    app_.os.messageBox(MessageKind::Information,
                       unavailabilityReport(app_.catalogue, app_.tpaths, romMode(), game.Title, game.ShortName,
                                            app_.os, kLookupBase));
}

}  // namespace qn
