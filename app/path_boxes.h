// What the main window's configuration page and the configuration dialog
// share about their path boxes.
#pragma once

#include "app/app.h"
#include "ui/widgets.h"

namespace qn {

// A path box is white while its setting is in use and grey while it is not.
inline const ui::Color kPathInUse = ui::Color::of(ui::SysColor::Window);
inline const ui::Color kPathNotInUse = ui::Color::of(ui::SysColor::ButtonFace);

// Puts the compressed-ROM boxes in or out of use. In use, the settings take
// what the boxes show; out of use, both settings and boxes are emptied.
void setCompressedBoxes(bool inUse, ui::Edit& unzipBox, ui::Edit& romsBox, ui::Button& unzipButton,
                        ui::Button& romsButton, TPaths& paths);

}  // namespace qn
