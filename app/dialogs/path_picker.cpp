// The path picker, and the main window's buttons that open it or the
// file dialog.
#include "app/main_window/main_window.h"
#include "app/dialogs/config_dialog.h"
#include "app/dialogs/path_picker.h"

namespace qn {
namespace {

const ui::Color kHighlight = ui::Color::of(ui::SysColor::Highlight);
const ui::Color kWindowText = ui::Color::of(ui::SysColor::WindowText);

}  // namespace

TForm3::TForm3(App& app) : ui::Form("Form3", {0, 0, 281, 275}, "Select Path"), app_(app) {
    setCloseBox(false);  // closed only by its own buttons
    // Dialog buttons are reached with the Tab key.
    SpeedButton1.setTabStop(true);
    SpeedButton2.setTabStop(true);
    defaultButton = &SpeedButton1;
    cancelButton = &SpeedButton2;
    onShow = [this] { FormShow(); };
    onClose = [this] { FormClose(); };
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    SpeedButton1.onMouseMove = [this](const ui::MouseEvent&) { markButton(1); };
    SpeedButton2.onMouseMove = [this](const ui::MouseEvent&) { markButton(2); };
    for (ui::Control* c : std::initializer_list<ui::Control*>{&DirectoryOutline1, this})
        c->onMouseMove = [this](const ui::MouseEvent&) { markButton(0); };
}

void TForm3::FormShow() {
    if (app_.singleClick) {
        SpeedButton1.setFlat(true);
        SpeedButton2.setFlat(true);
    }
}

void TForm3::SpeedButton1Click() {
    selectedPath_ = tree_.directory();
    const bool toDialog = app_.state.Updating;
    TForm5& dialog = *app_.Form5;
    TForm1& main = *app_.Form1;
    switch (app_.state.pathTarget) {
    case 0:
        // A drive root gives a doubled backslash here, which the system accepts.
        if (!app_.os.canOpenReadWrite(selectedPath_ + "\\quon.exe")) {
            app_.os.messageBox(MessageKind::Warning, "Quon.exe wasn\xB4t found in " + selectedPath_);
            return;
        }
        (toDialog ? dialog.Edit1 : main.Edit1).setText(selectedPath_);
        break;
    case 1:
        (toDialog ? dialog.Edit3 : main.Edit3).setText(selectedPath_);
        break;
    case 2:
        (toDialog ? dialog.Edit4 : main.Edit4).setText(selectedPath_);
        break;
    default:
        break;
    }
    close();
}

void TForm3::SpeedButton2Click() {
    selectedPath_.clear();
    close();
}

void TForm3::FormClose() {
    if (app_.state.Updating)
        app_.Form5->setEnabled(true);
    else
        app_.Form1->setEnabled(true);
}

void TForm3::markButton(int button) {
    if (!app_.singleClick || hotButton_ == button) return;
    if (hotButton_ == 1) SpeedButton1.setFontColor(kWindowText);
    if (hotButton_ == 2) SpeedButton2.setFontColor(kWindowText);
    if (button == 1) SpeedButton1.setFontColor(kHighlight);
    if (button == 2) SpeedButton2.setFontColor(kHighlight);
    hotButton_ = button;
}

void TForm1::openPathPicker(int target, const std::string& question) {
    setEnabled(false);
    app_.Form3->Label1.setCaption(question);
    app_.Form3->show();
    app_.state.pathTarget = target;
}

void TForm1::SpeedButton6Click() { openPathPicker(0, "Select the path where QUON is installed:"); }

void TForm1::SpeedButton5Click() {
    openPathPicker(1, "Select the path where your compressed ROMs are stored:");
}

void TForm1::SpeedButton8Click() { openPathPicker(2, "Select the path to your QUON game drivers:"); }

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
