// The path settings page of the main window: each change the user makes is
// taken into the settings at once, and changes that decide which games can
// run refill the list.
#include "app/main_window/main_window.h"
#include "app/stored_data.h"

namespace qn {

void TForm1::ApplySettings() {
    TPaths& p = app_.tpaths;
    RomMode& mode = app_.state.romMode;
    if (ListView1.selectedRow() < 0 && !app_.catalogue.games.empty()) {
        // Checking a box here shows a flag; the boxes' handlers store flags
        // only for the user's toggles.
        const OptionFlags& flags = GameOptionFlags(app_, 0);
        for (int j = 0; j < OptionCount; ++j)
            if (flags[j]) optionBox(j)->showChecked(true);
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
    CheckBox7.showChecked(mode.compressed);
    CheckBox8.showChecked(mode.driversPath);
    const bool newDrivers = paths.show(PathBox::Drivers);
    const bool newEmulator = paths.show(PathBox::Emulator);
    paths.show(PathBox::Unzip);
    const bool newRoms = paths.show(PathBox::Roms);

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
    paths.holdShown(PathBox::Drivers);
    EvaluateAvailability();
    FillGameList(SelectedBy::Program);
}

void TForm1::PathChange(PathBox which) {
    const TPaths& p = app_.tpaths;
    // In compressed mode the emulator directory alone does not decide
    // availability often enough to refill the list for it; an emptied one
    // decides nothing, nor does the unzip program.
    const bool refill = which == PathBox::Drivers ||
                        (which == PathBox::Roms && !p.romsPath.empty()) ||
                        (which == PathBox::Emulator && !p.emulatorPath.empty() && !romMode().compressed);
    if (!refill) return;
    EvaluateAvailability();
    FillGameList(SelectedBy::Program);
}

void TForm1::SpeedButton6Click() {
    paths.pickEmulatorDirectory(*this, "Select the path where QUON is installed:");
}

void TForm1::SpeedButton5Click() {
    paths.pickDirectory(*this, "Select the path where your compressed ROMs are stored:", PathBox::Roms);
}

void TForm1::SpeedButton8Click() {
    paths.pickDirectory(*this, "Select the path to your QUON game drivers:", PathBox::Drivers);
}

void TForm1::SpeedButton4Click() {
    std::optional<std::string> file = app_.os.openFileDialog(
        "PkUnzip Program File (pkunzip.exe)|pkunzip.exe|Program Files (*.exe;*.com)|*.exe;*.com|"
        "All files (*.*)|*.*",
        "Select PkUnzip program file");
    if (!file) return;
    paths.take(PathBox::Unzip, *file, true);
}

}  // namespace qn
