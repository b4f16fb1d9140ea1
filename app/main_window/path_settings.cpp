// The path settings page of the main window: each box's change is taken into
// the settings at once, and changes that decide which games can run refill
// the list.
#include "app/main_window/main_window.h"
#include "app/stored_data.h"

namespace qn {
namespace {

// Puts a setting into its box without the box's change handler. A box that
// then shows something new gives the setting back as it shows it, as its
// handler would: in lower case, a directory with its trailing backslash.
// True when it did.
bool showInBox(ui::Edit& box, std::string& setting, bool directory) {
    const std::string before = box.text();
    {
        const ui::WithoutHandler quiet(box.onChange);
        box.setText(setting);
    }
    if (box.text() == before) return false;
    setting = directory ? withTrailingBackslash(box.text()) : box.text();
    return true;
}

}  // namespace

void TForm1::ApplySettings() {
    TPaths& p = app_.tpaths;
    RomMode& mode = app_.state.romMode;
    if (ListView1.selectedRow() < 0 && !app_.catalogue.games.empty()) {
        // Checking a box here shows a flag; the boxes' handlers store flags
        // only for the user's toggles.
        const OptionFlags& flags = GameOptionFlags(app_, 0);
        for (int j = 0; j < OptionCount; ++j)
            if (flags[j]) optionBox(j)->setChecked(true);
    }

    // A path that is set turns its mode on; without one, a mode stays as the
    // user left its box. Compressed mode is put in as a click on its box puts
    // it (the compressed-ROM boxes greyed and emptied when it is off), unless
    // it is on already with its paths.
    const bool zippedPaths = !p.unzipProgram.empty() || !p.romsPath.empty();
    const bool compressedPutIn = !(mode.compressed && zippedPaths);
    const bool driversTurnedOn = !mode.driversPath && !p.driversPath.empty();
    if (driversTurnedOn) {
        mode.driversPath = true;
        paths.setDriversInUse(true);
    }
    if (compressedPutIn) {
        mode.compressed = mode.compressed || zippedPaths;
        paths.setCompressedInUse(mode.compressed);
    }
    {
        const ui::WithoutHandler quiet7(CheckBox7.onClick), quiet8(CheckBox8.onClick);
        CheckBox7.setChecked(mode.compressed);
        CheckBox8.setChecked(mode.driversPath);
    }
    const bool newDrivers = showInBox(Edit4, p.driversPath, true);
    const bool newEmulator = showInBox(Edit1, p.emulatorPath, true);
    showInBox(Edit2, p.unzipProgram, false);
    const bool newRoms = showInBox(Edit3, p.romsPath, true);

    // Refilled after compressed mode is put in, with the first row chosen as
    // the user's click on the box chooses it, or after a new drivers path,
    // with the first row chosen by the program. Compressed mode staying on
    // with its paths, a new ROMs directory alone is no reason.
    if (!compressedPutIn && !driversTurnedOn && !newDrivers) return;
    EvaluateAvailability();
    FillGameList(compressedPutIn ? SelectedBy::User : SelectedBy::Program);
    // A new directory where the mode finds the ROMs (the emulator's plain,
    // the archives' zipped) is the program's choice of the first row after
    // that: the game-specific boxes are left greyed.
    const bool newRomDirectory = romMode().compressed ? newRoms && !p.romsPath.empty()
                                                      : newEmulator && !p.emulatorPath.empty();
    if (compressedPutIn && newRomDirectory) {
        CheckBox6.setEnabled(false);
        CheckBox9.setEnabled(false);
    }
}

void TForm1::CheckBox7Click() {
    app_.state.romMode.compressed = CheckBox7.checked();
    StatusBar1.setPanelText(2, romMode().compressed ? "Zipped ROMs" : "UnZipped ROMs");
    paths.setCompressedInUse(romMode().compressed);
    EvaluateAvailability();
    FillGameList(SelectedBy::User);
}

void TForm1::CheckBox8Click() {
    app_.state.romMode.driversPath = CheckBox8.checked();
    paths.setDriversInUse(romMode().driversPath);
    if (romMode().driversPath || Edit4.text().empty())
        Edit4Change();
    else
        Edit4.setText("");  // its change handler takes the empty path
}

void TForm1::Edit1Change() {
    app_.tpaths.emulatorPath = Edit1.text();
    if (Edit1.text().empty()) return;
    app_.tpaths.emulatorPath = withTrailingBackslash(Edit1.text());
    // In compressed mode the emulator directory alone does not decide
    // availability often enough to refill the list for it.
    if (!romMode().compressed) {
        EvaluateAvailability();
        FillGameList(SelectedBy::Program);
    }
}

void TForm1::Edit2Change() { app_.tpaths.unzipProgram = Edit2.text(); }

void TForm1::Edit3Change() {
    app_.tpaths.romsPath = Edit3.text();
    if (Edit3.text().empty()) return;
    app_.tpaths.romsPath = withTrailingBackslash(Edit3.text());
    EvaluateAvailability();
    FillGameList(SelectedBy::Program);
}

void TForm1::Edit4Change() {
    app_.tpaths.driversPath = withTrailingBackslash(Edit4.text());
    EvaluateAvailability();
    FillGameList(SelectedBy::Program);
}

void TForm1::SpeedButton6Click() {
    paths.pickEmulatorDirectory(*this, "Select the path where QUON is installed:");
}

void TForm1::SpeedButton5Click() {
    paths.pickDirectory(*this, "Select the path where your compressed ROMs are stored:", Edit3);
}

void TForm1::SpeedButton8Click() {
    paths.pickDirectory(*this, "Select the path to your QUON game drivers:", Edit4);
}

void TForm1::SpeedButton4Click() {
    std::optional<std::string> file = app_.os.openFileDialog(
        "PkUnzip Program File (pkunzip.exe)|pkunzip.exe|Program Files (*.exe;*.com)|*.exe|"
        "All files (*.*)|*.*",
        "Select PkUnzip program file");
    if (!file) return;
    Edit2.setText(*file);
    app_.tpaths.unzipProgram = *file;
}

}  // namespace qn
