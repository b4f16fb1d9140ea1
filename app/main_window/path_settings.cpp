// The path settings page of the main window: each box's change is taken into
// the settings at once, and changes that decide which games can run refill
// the list.
#include "app/main_window/main_window.h"
#include "catalogue/availability.h"
#include "app/path_boxes.h"
#include "settings/settings_store.h"

namespace qn {

void setCompressedBoxes(bool inUse, ui::Edit& unzipBox, ui::Edit& romsBox, ui::Button& unzipButton,
                        ui::Button& romsButton, TPaths& p) {
    for (ui::Edit* box : {&unzipBox, &romsBox}) box->setColor(inUse ? kPathInUse : kPathNotInUse);
    unzipButton.setEnabled(inUse);
    romsButton.setEnabled(inUse);
    if (inUse) {
        if (!unzipBox.text().empty()) p.unzipProgram = unzipBox.text();
        if (!romsBox.text().empty()) p.romsPath = withTrailingBackslash(romsBox.text());
        return;
    }
    p.unzipProgram.clear();
    unzipBox.setText("");
    p.romsPath.clear();
    romsBox.setText("");
}

void TForm1::CheckBox7Click() {
    app_.state.Updating = false;
    StatusBar1.setPanelText(2, CheckBox7.checked() ? "Zipped ROMs" : "UnZipped ROMs");
    setCompressedBoxes(CheckBox7.checked(), Edit2, Edit3, SpeedButton4, SpeedButton5, app_.tpaths);
    EvaluateAvailability(app_);
    FillGameList();
}

void TForm1::CheckBox8Click() {
    if (app_.state.ReportInProgress) return;
    if (CheckBox8.checked()) {
        Edit4.setColor(kPathInUse);
        SpeedButton8.setEnabled(true);
        Edit4Change();
    } else {
        Edit4.setColor(kPathNotInUse);
        SpeedButton8.setEnabled(false);
        if (!Edit4.text().empty())
            Edit4.setText("");  // its change handler takes the empty path
        else
            Edit4Change();
    }
}

void TForm1::Edit1Change() {
    AppState& s = app_.state;
    app_.tpaths.emulatorPath = Edit1.text();
    if (Edit1.text().empty()) return;
    app_.tpaths.emulatorPath = withTrailingBackslash(Edit1.text());
    const bool wasUpdating = s.Updating;
    s.Updating = true;
    // In compressed mode the emulator directory alone does not decide
    // availability often enough to refill the list for it.
    if (!CheckBox7.checked()) {
        EvaluateAvailability(app_);
        FillGameList();
    }
    s.Updating = wasUpdating;
}

void TForm1::Edit2Change() { app_.tpaths.unzipProgram = Edit2.text(); }

void TForm1::Edit3Change() {
    AppState& s = app_.state;
    app_.tpaths.romsPath = Edit3.text();
    if (Edit3.text().empty() || s.Updating) return;
    s.Updating = true;
    app_.tpaths.romsPath = withTrailingBackslash(Edit3.text());
    EvaluateAvailability(app_);
    FillGameList();
    s.Updating = false;
}

void TForm1::Edit4Change() {
    AppState& s = app_.state;
    app_.tpaths.driversPath = withTrailingBackslash(Edit4.text());
    s.Updating = true;
    EvaluateAvailability(app_);
    FillGameList();
    s.Updating = false;
}

}  // namespace qn
