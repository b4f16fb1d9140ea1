// The path boxes of the main window's configuration page and of the
// configuration dialog: one panel type, laid out by each window. The boxes
// carry the same names in both; only the emulator box's label differs.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/app.h"
#include "ui/widgets.h"

namespace qn {

// A path box is white while its setting is in use and grey while it is not.
inline const ui::Color kPathInUse = ui::Color::of(ui::SysColor::Window);
inline const ui::Color kPathNotInUse = ui::Color::of(ui::SysColor::ButtonFace);

// Where each control of the panel stands in its window.
struct PathBoxLayout {
    const char* emulatorLabelName;
    const char* emulatorLabelCaption;
    ui::Rect emulatorLabel, emulatorBox, emulatorButton;
    ui::Rect driversCheck, driversLabel, driversBox, driversButton;
    ui::Rect compressedCheck;
    // The compressed-ROM boxes' own panel ("Panel1"), where they have one.
    std::optional<ui::Rect> compressedPanel;
    ui::Rect unzipLabel, unzipBox, unzipButton, romsLabel, romsBox, romsButton;
};

class PathBoxes {
public:
    PathBoxes(App& app, ui::Control* parent, const PathBoxLayout& layout);

    // Puts the drivers box and its button in or out of use.
    void setDriversInUse(bool inUse);
    // Puts the compressed-ROM boxes in or out of use. In use, the settings
    // take what the boxes show; out of use, both settings and boxes are
    // emptied.
    void setCompressedInUse(bool inUse);

    // The "..." buttons: the path picker asks `question` on behalf of
    // `opener`, and its choice goes into a box, whose change handler takes
    // it. The emulator's box takes only a directory where quon.exe opens.
    void pickEmulatorDirectory(ui::Form& opener, const std::string& question);
    void pickDirectory(ui::Form& opener, const std::string& question, ui::Edit& box);

private:
    App& app_;

public:
    // --- controls, in creation order ---
    ui::Label emulatorLabel;
    ui::Edit Edit1;
    ui::Button SpeedButton6;
    ui::CheckBox CheckBox8;
    ui::Label Label4;
    ui::Edit Edit4;
    ui::Button SpeedButton8;
    ui::CheckBox CheckBox7;
    // The compressed-ROM boxes' own panel, where the layout gives one.
    std::unique_ptr<ui::Panel> compressedPanel;
    ui::Label Label2;
    ui::Edit Edit2;
    ui::Button SpeedButton4;
    ui::Label Label3;
    ui::Edit Edit3;
    ui::Button SpeedButton5;
};

}  // namespace qn
