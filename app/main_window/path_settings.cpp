// The path settings page of the main window: each box's change is taken into
// the settings at once, and changes that decide which games can run refill
// the list.
#include "app/main_window/main_window.h"

namespace qn {

void TForm1::ApplySettings() {
    const TPaths& p = app_.tpaths;
    if (ListView1.selectedRow() < 0 && !app_.catalogue.games.empty()) {
        // Checking a box here shows a flag; the boxes' handlers store flags
        // only for the user's toggles.
        const auto& flags = app_.catalogue.games[0].OptionFlags;
        for (int j = 0; j < OptionCount; ++j)
            if (flags[j]) optionBox(j)->setChecked(true);
    }
    app_.state.refillingList = true;
    Edit4.setText(p.driversPath);
    if (!p.driversPath.empty()) CheckBox8.setChecked(true);
    if (!p.unzipProgram.empty() || !p.romsPath.empty()) {
        CheckBox7.setChecked(true);
    } else {
        // Run once with the box unchecked: this greys the compressed-ROM
        // boxes and empties both settings.
        CheckBox7Click();
    }
    Edit1.setText(p.emulatorPath);
    Edit2.setText(p.unzipProgram);
    Edit3.setText(p.romsPath);
}

void TForm1::CheckBox7Click() {
    app_.state.romMode.compressed = CheckBox7.checked();
    app_.state.refillingList = false;
    StatusBar1.setPanelText(2, romMode().compressed ? "Zipped ROMs" : "UnZipped ROMs");
    paths.setCompressedInUse(romMode().compressed);
    EvaluateAvailability();
    FillGameList();
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
    AppState& s = app_.state;
    app_.tpaths.emulatorPath = Edit1.text();
    if (Edit1.text().empty()) return;
    app_.tpaths.emulatorPath = withTrailingBackslash(Edit1.text());
    const bool wasRefilling = s.refillingList;
    s.refillingList = true;
    // In compressed mode the emulator directory alone does not decide
    // availability often enough to refill the list for it.
    if (!romMode().compressed) {
        EvaluateAvailability();
        FillGameList();
    }
    s.refillingList = wasRefilling;
}

void TForm1::Edit2Change() { app_.tpaths.unzipProgram = Edit2.text(); }

void TForm1::Edit3Change() {
    AppState& s = app_.state;
    app_.tpaths.romsPath = Edit3.text();
    if (Edit3.text().empty() || s.refillingList) return;
    s.refillingList = true;
    app_.tpaths.romsPath = withTrailingBackslash(Edit3.text());
    EvaluateAvailability();
    FillGameList();
    s.refillingList = false;
}

void TForm1::Edit4Change() {
    AppState& s = app_.state;
    app_.tpaths.driversPath = withTrailingBackslash(Edit4.text());
    s.refillingList = true;
    EvaluateAvailability();
    FillGameList();
    s.refillingList = false;
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
