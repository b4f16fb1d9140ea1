// The path boxes of the main window's configuration page and of the
// configuration dialog: one panel type, laid out by each window. The boxes
// carry the same names in both; only the emulator box's label differs.
#pragma once

#include <functional>
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

// The four path settings a panel shows.
enum class PathBox { Emulator, Unzip, Roms, Drivers };

// The one way between the path settings and the boxes: settings go into the
// boxes when a window shows, and a user's change (a "..." button, a check
// box) goes into the settings here, by the path settings' rules: held in
// lower case, a directory with its trailing backslash.
class PathBoxes {
public:
    PathBoxes(App& app, ui::Control* parent, const PathBoxLayout& layout);

    // Shows a setting in its box. A box that then shows something new
    // holds the setting as it shows it from then on. True when it did.
    bool show(PathBox which);
    // The user's choice of a path: its box shows it and, when that is new,
    // its setting holds it and onChange runs. `asChosen` keeps the setting
    // as the user chose it, new or not; only the box shows it in lower case.
    bool take(PathBox which, const std::string& path, bool asChosen = false);
    // The setting takes what its box shows, with the backslash rule for a
    // directory unless `asShown`.
    void holdShown(PathBox which, bool asShown = false);
    // Runs after a user's change took a new path into a setting.
    std::function<void(PathBox)> onChange;

    // Puts the drivers box and its button in or out of use; out of use, it
    // is emptied.
    void setDriversInUse(bool inUse);
    // Puts the compressed-ROM boxes in or out of use. In use, the settings
    // take what the boxes show; out of use, both settings and boxes are
    // emptied.
    void setCompressedInUse(bool inUse);

    // The "..." buttons: the path picker asks `question` on behalf of
    // `opener`, and its choice is taken into a setting. The emulator's
    // takes only a directory where quon.exe opens.
    void pickEmulatorDirectory(ui::Form& opener, const std::string& question);
    void pickDirectory(ui::Form& opener, const std::string& question, PathBox which);

private:
    ui::Edit& box(PathBox which);
    std::string& setting(PathBox which);

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
