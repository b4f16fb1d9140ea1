#include "app/path_boxes.h"

namespace qn {
namespace {

std::unique_ptr<ui::Panel> optionalPanel(ui::Control* parent, const std::optional<ui::Rect>& bounds) {
    if (!bounds) return nullptr;
    return std::make_unique<ui::Panel>(parent, "Panel1", *bounds);
}

}  // namespace

PathBoxes::PathBoxes(App& app, ui::Control* parent, const PathBoxLayout& l)
    : app_(app),
      emulatorLabel{parent, l.emulatorLabelName, l.emulatorLabel, l.emulatorLabelCaption},
      Edit1{parent, "Edit1", l.emulatorBox, true},
      SpeedButton6{parent, "SpeedButton6", l.emulatorButton, "..."},
      CheckBox8{parent, "CheckBox8", l.driversCheck, "Use drivers path"},
      Label4{parent, "Label4", l.driversLabel, "Drivers path:"},
      Edit4{parent, "Edit4", l.driversBox, true},
      SpeedButton8{parent, "SpeedButton8", l.driversButton, "..."},
      CheckBox7{parent, "CheckBox7", l.compressedCheck, "Use compressed ROMs"},
      compressedPanel(optionalPanel(parent, l.compressedPanel)),
      Label2{compressedPanel ? compressedPanel.get() : parent, "Label2", l.unzipLabel, "PkUnzip path: "},
      Edit2{Label2.parent(), "Edit2", l.unzipBox, true},
      SpeedButton4{Label2.parent(), "SpeedButton4", l.unzipButton, "..."},
      Label3{Label2.parent(), "Label3", l.romsLabel, "ROMs Path:"},
      Edit3{Label2.parent(), "Edit3", l.romsBox, true},
      SpeedButton5{Label2.parent(), "SpeedButton5", l.romsButton, "..."} {
    for (ui::Edit* e : {&Edit1, &Edit2, &Edit3, &Edit4}) e->setReadOnly(true);
    for (ui::Edit* e : {&Edit2, &Edit3, &Edit4}) e->setColor(kPathNotInUse);
    // Each "..." button but the emulator's works only while its box is in use.
    for (ui::Button* b : {&SpeedButton8, &SpeedButton4, &SpeedButton5}) b->setEnabled(false);
}

ui::Edit& PathBoxes::box(PathBox which) {
    switch (which) {
    case PathBox::Emulator: return Edit1;
    case PathBox::Unzip: return Edit2;
    case PathBox::Roms: return Edit3;
    default: return Edit4;
    }
}

std::string& PathBoxes::setting(PathBox which) {
    TPaths& p = app_.tpaths;
    switch (which) {
    case PathBox::Emulator: return p.emulatorPath;
    case PathBox::Unzip: return p.unzipProgram;
    case PathBox::Roms: return p.romsPath;
    default: return p.driversPath;
    }
}

void PathBoxes::holdShown(PathBox which, bool asShown) {
    const std::string& shown = box(which).text();
    setting(which) = which == PathBox::Unzip || asShown ? shown : withTrailingBackslash(shown);
}

bool PathBoxes::show(PathBox which) {
    const std::string shown = lowerCasePath(setting(which));
    if (shown == box(which).text()) return false;
    box(which).setText(shown);
    holdShown(which);
    return true;
}

bool PathBoxes::take(PathBox which, const std::string& path, bool asChosen) {
    const std::string shown = lowerCasePath(path);
    const bool changed = shown != box(which).text();
    if (changed) {
        box(which).setText(shown);
        holdShown(which);
    }
    if (asChosen) setting(which) = path;
    if (changed && onChange) onChange(which);
    return changed;
}

void PathBoxes::setDriversInUse(bool inUse) {
    Edit4.setColor(inUse ? kPathInUse : kPathNotInUse);
    SpeedButton8.setEnabled(inUse);
    if (!inUse) Edit4.setText("");
}

void PathBoxes::setCompressedInUse(bool inUse) {
    TPaths& p = app_.tpaths;
    for (ui::Edit* box : {&Edit2, &Edit3}) box->setColor(inUse ? kPathInUse : kPathNotInUse);
    SpeedButton4.setEnabled(inUse);
    SpeedButton5.setEnabled(inUse);
    if (inUse) {
        if (!Edit2.text().empty()) holdShown(PathBox::Unzip);
        if (!Edit3.text().empty()) holdShown(PathBox::Roms);
        return;
    }
    p.unzipProgram.clear();
    Edit2.setText("");
    p.romsPath.clear();
    Edit3.setText("");
}

void PathBoxes::pickEmulatorDirectory(ui::Form& opener, const std::string& question) {
    app_.pathPicker().ask(opener, question, [this](const std::string& directory) {
        // A drive root gives a doubled backslash here, which the system accepts.
        if (!app_.os.canOpenReadWrite(directory + "\\quon.exe")) {
            app_.os.messageBox(MessageKind::Warning, "Quon.exe wasn\xC2\xB4t found in " + directory);
            return false;
        }
        take(PathBox::Emulator, directory);
        return true;
    });
}

void PathBoxes::pickDirectory(ui::Form& opener, const std::string& question, PathBox which) {
    app_.pathPicker().ask(opener, question, [this, which](const std::string& directory) {
        take(which, directory);
        return true;
    });
}

}  // namespace qn
