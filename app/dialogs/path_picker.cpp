// The path picker: the choice goes to whoever asked.
#include "app/dialogs/path_picker.h"

namespace qn {
namespace {

const ui::Color kHighlight = ui::Color::of(ui::SysColor::Highlight);
const ui::Color kWindowText = ui::Color::of(ui::SysColor::WindowText);

}  // namespace

TForm3::TForm3(App& app)
    : ui::Form("Form3", {0, 0, 281, 275}, "Select Path"), app_(app), startDirectory_(app.os.currentDirectory()) {
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

DirectoryChooser& TForm3::chooser() {
    if (!tree_) tree_.emplace(app_.os, DriveComboBox1, DirectoryOutline1, startDirectory_);
    return *tree_;
}

void TForm3::FormShow() {
    // Where it was left, with the directories made since.
    if (tree_)
        tree_->refresh();
    else
        chooser();
    if (app_.singleClick) {
        SpeedButton1.setFlat(true);
        SpeedButton2.setFlat(true);
    }
}

void TForm3::ask(ui::Form& opener, const std::string& question, Delivery deliver) {
    opener_ = &opener;
    deliver_ = std::move(deliver);
    opener.setEnabled(false);
    Label1.setCaption(question);
    show();
}

void TForm3::SpeedButton1Click() {
    selectedPath_ = chooser().directory();
    if (deliver_ && !deliver_(selectedPath_)) return;
    close();
}

void TForm3::SpeedButton2Click() {
    selectedPath_.clear();
    close();
}

void TForm3::FormClose() {
    if (opener_) opener_->setEnabled(true);
}

void TForm3::markButton(int button) {
    if (!app_.singleClick || hotButton_ == button) return;
    if (hotButton_ == 1) SpeedButton1.setFontColor(kWindowText);
    if (hotButton_ == 2) SpeedButton2.setFontColor(kWindowText);
    if (button == 1) SpeedButton1.setFontColor(kHighlight);
    if (button == 2) SpeedButton2.setFontColor(kHighlight);
    hotButton_ = button;
}

}  // namespace qn
