// The path settings page of the main window: each box's change is taken into
// the settings at once, and changes that decide which games can run refill
// the list.
#include "app/form1.h"
#include "catalogue/availability.h"
#include "settings/settings_store.h"

namespace qn {

namespace {
const ui::Color kInUse = ui::Color::of(ui::SysColor::Window);
const ui::Color kNotInUse = ui::Color::of(ui::SysColor::ButtonFace);
}  // namespace

void TForm1::CheckBox7Click() {
    app_.state.Updating = false;
    TPaths& p = app_.tpaths;
    if (CheckBox7.checked()) {
        StatusBar1.setPanelText(2, "Zipped ROMs");
        Edit2.setColor(kInUse);
        Edit3.setColor(kInUse);
        SpeedButton4.setEnabled(true);
        SpeedButton5.setEnabled(true);
        if (!Edit2.text().empty()) p.unzipProgram = Edit2.text();
        if (!Edit3.text().empty()) p.romsPath = withTrailingBackslash(Edit3.text());
    } else {
        StatusBar1.setPanelText(2, "UnZipped ROMs");
        Edit2.setColor(kNotInUse);
        Edit3.setColor(kNotInUse);
        SpeedButton4.setEnabled(false);
        SpeedButton5.setEnabled(false);
        p.unzipProgram.clear();
        Edit2.setText("");
        p.romsPath.clear();
        Edit3.setText("");
    }
    EvaluateAvailability(app_);
    FillGameList();
}

void TForm1::CheckBox8Click() {
    if (app_.state.ReportInProgress) return;
    if (CheckBox8.checked()) {
        Edit4.setColor(kInUse);
        SpeedButton8.setEnabled(true);
        Edit4Change();
    } else {
        Edit4.setColor(kNotInUse);
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
