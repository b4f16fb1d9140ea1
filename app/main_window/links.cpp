// The links of the main window: web and mail addresses with their icons,
// readme files.
#include <cstdlib>

#include "app/main_window/main_window.h"
#include "launch/links.h"

namespace qn {
namespace {

ui::Font linkFont() {
    ui::Font f;
    f.face = "MS Sans Serif";
    f.points = 9;
    f.underline = true;
    f.color = ui::kBlue;
    return f;
}

// A 32 by 32 link icon: a globe of the given colour with a lighter equator
// and meridian, on the page's colour.
ui::Bitmap linkIcon(const std::array<std::uint8_t, 3>& face, std::uint8_t r, std::uint8_t g,
                    std::uint8_t b) {
    ui::Bitmap icon;
    icon.width = icon.height = 32;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int dx = x - 16, dy = y - 16, d2 = dx * dx + dy * dy;
            const bool inside = d2 <= 14 * 14;
            const bool line = inside && (std::abs(dy) <= 1 || std::abs(dx) <= 1 || std::abs(d2 - 100) <= 8);
            icon.pixels.push_back(!inside ? face[2] : line ? 255 : b);
            icon.pixels.push_back(!inside ? face[1] : line ? 255 : g);
            icon.pixels.push_back(!inside ? face[0] : line ? 255 : r);
        }
    return icon;
}

}  // namespace

void TForm1::OpenLink(const ui::Label& label, const std::string& addition) {
    openLink(app_.os, app_.state.BrowserCommand, addition, label.caption());
}

void TForm1::SpeedButton2Click() { openReadme(app_.os, app_.tpaths.mainPath); }

void TForm1::SpeedButton3Click() {
    if (app_.tpaths.emulatorPath.empty()) return;
    openReadme(app_.os, app_.tpaths.emulatorPath);
}

void TForm1::drawLinkIcons() {
    const auto face = app_.backend ? app_.backend->systemColor(ui::SysColor::ButtonFace)
                                   : ui::Backend::defaultSystemColor(ui::SysColor::ButtonFace);
    Image2.setPicture(linkIcon(face, 30, 90, 170));
    Image3.setPicture(linkIcon(face, 20, 130, 60));
    Image4.setPicture(linkIcon(face, 170, 60, 30));
    Image5.setPicture(linkIcon(face, 120, 40, 140));
}

void TForm1::setUpLinks() {
    for (ui::Label* link : {&Label8, &Label9, &Label7, &Label10, &Label16, &Label18})
        link->setFont(linkFont());
    drawLinkIcons();

    for (ui::Label* link : {&Label8, &Label9, &Label7, &Label10, &Label18})
        link->onClick = [this, link] { OpenLink(*link, " "); };
    Label16.onClick = [this] { OpenLink(Label16, " mailto:"); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    SpeedButton3.onClick = [this] { SpeedButton3Click(); };
}

}  // namespace qn
