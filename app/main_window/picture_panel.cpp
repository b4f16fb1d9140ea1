// The picture panel: a game's screenshot or one of the logos, centred in a
// 360 by 240 surface. On a screen of more dots per inch the panel is drawn
// at that resolution: the 96-dpi panel resampled smoothly, and the version
// text in a font of as many points, so it looks like the 96-dpi panel, only
// sharper.
#include <new>

#include "app/main_window/main_window.h"
#include "catalogue/jpeg_reader.h"
#include "ui/scaling.h"

namespace qn {
namespace {

constexpr int kPanelWidth = 360;
constexpr int kPanelHeight = 240;

Pixmap blankPanel(const std::array<std::uint8_t, 3>& rgb) {
    Pixmap b;
    b.width = kPanelWidth;
    b.height = kPanelHeight;
    b.pixels.resize(static_cast<size_t>(kPanelWidth) * kPanelHeight * 3);
    // Through a plain pointer: byte stores through the vector would make the
    // compiler reload its pointers after each one.
    const std::uint8_t blue = rgb[2], green = rgb[1], red = rgb[0];
    std::uint8_t* p = b.pixels.data();
    for (std::uint8_t* end = p + b.pixels.size(); p != end; p += 3)
        p[0] = blue, p[1] = green, p[2] = red;
    return b;
}

}  // namespace

void TForm1::ShowPicture(const std::string& fileName) {
    Platform& os = app_.os;
    const std::string& dir = app_.tpaths.mainPath;
    auto locate = [&](const std::string& name) -> std::string {
        if (os.fileExists(dir + "screens\\" + name)) return dir + "screens\\" + name;
        if (os.fileExists(dir + name)) return dir + name;
        return {};
    };
    pictureRequest_ = fileName;
    std::string path = locate(fileName);
    const bool found = !path.empty();
    app_.state.CurrentPicture = found ? fileName : "";
    if (!found) path = locate(kNoScreenPicture);

    const bool logo = found && (fileName == kLogoPicture1 || fileName == kLogoPicture2);
    ui::Backend* system = app_.backend;
    const auto buttonFace = system ? system->systemColor(ui::SysColor::ButtonFace)
                                   : ui::Backend::defaultSystemColor(ui::SysColor::ButtonFace);
    const std::array<std::uint8_t, 3> background =
        logo ? buttonFace : std::array<std::uint8_t, 3>{0, 0, 0};
    const bool version = found && fileName == kLogoPicture1;
    // Decoded when the panel is painted: a picture replaced before that, as
    // the first game's is by the logo while the window starts, is never read.
    Image1.setPicture([this, path, background, version, dpi = this->dpi()] {
        return DrawPanel(path, background, version, dpi);
    });
}

ui::Bitmap TForm1::DrawPanel(const std::string& path, const std::array<std::uint8_t, 3>& background,
                             bool version, int dpi) {
    Pixmap panel = blankPanel(background);
    // A picture that is missing or cannot be decoded leaves the panel blank;
    // so does a file too big to hold in memory, rather than ending the program.
    std::optional<PicturePlacement> picture;
    if (!path.empty()) {
        try {
            if (auto bytes = app_.os.readFile(path)) picture = drawJpegCentred(*bytes, panel);
        } catch (const std::bad_alloc&) {
        }
        if (!picture) panel = blankPanel(background);  // a decode that failed may have drawn rows
    }
    ui::Bitmap shown{panel.width, panel.height, std::move(panel.pixels)};
    if (dpi != ui::kLayoutDpi) {
        shown = ui::resampleBitmap(shown, ui::scaleLength(kPanelWidth, dpi),
                                   ui::scaleLength(kPanelHeight, dpi));
        shown.dpi = dpi;
    }
    ui::Backend* system = app_.backend;
    if (picture && version && system) {
        // Where the picture lies at the panel's resolution.
        const ui::Rect at =
            ui::scaleRect({picture->left, picture->top, picture->width, picture->height}, dpi);
        ui::Font font;
        font.face = "MS Sans Serif";
        font.points = 11;
        font.bold = true;
        ui::Backend::TextMask text = system->renderTextAt(font, "v2.09", dpi);
        const int inset = ui::scaleLength(5, dpi);
        const int tx = at.left + at.width - text.width - inset;
        const int ty = at.top + at.height - text.height - inset;
        for (int y = 0; y < text.height; ++y)
            for (int x = 0; x < text.width; ++x) {
                const int px = tx + x, py = ty + y;
                if (!text.ink[(size_t)y * text.width + x] || px < 0 || py < 0 ||
                    px >= shown.width || py >= shown.height)
                    continue;
                std::uint8_t* p = &shown.pixels[((size_t)py * shown.width + px) * 3];
                p[0] = 255, p[1] = 0, p[2] = 0;  // pure blue, as blue-green-red
            }
    }
    return shown;
}

}  // namespace qn

namespace qn {

// Right click: back to the first logo; left click: between the two logos.
void TForm1::Image1MouseUp(const ui::MouseEvent& e) {
    const std::string& current = app_.state.CurrentPicture;
    if (e.button == ui::MouseEvent::Right)
        ShowPicture(kLogoPicture1);
    else if (e.button == ui::MouseEvent::Left && current == kLogoPicture1)
        ShowPicture(kLogoPicture2);
    else if (e.button == ui::MouseEvent::Left && current == kLogoPicture2)
        ShowPicture(kLogoPicture1);
}

}  // namespace qn
