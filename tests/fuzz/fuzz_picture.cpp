// A screenshot's bytes: decoded, then drawn into the main window's picture
// panel as a game's screenshot and as the first logo. The panel must show
// the decoded picture centred on black and cut to the panel.
#include "catalogue/jpeg_reader.h"
#include "fuzz_support.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

constexpr int kPanelWidth = 360, kPanelHeight = 240;

Launcher& launcher() {
    // One launcher for the whole run: only the picture files change.
    static Launcher* l = [] {
        auto* made = new Launcher;
        made->installSettings();
        made->writeProgramFiles("#Alpha Blaster|alpha\r\n", "");
        if (made->start() || made->showMain()) fail("launcher", "the start ended the process");
        return made;
    }();
    return *l;
}

void checkPanel(const ui::Bitmap& panel, const std::optional<ui::Bitmap>& picture,
                bool blackBackground) {
    QN_CHECK(panel.width == kPanelWidth && panel.height == kPanelHeight &&
                 panel.pixels.size() == static_cast<size_t>(kPanelWidth) * kPanelHeight * 3,
             std::to_string(panel.width) + "x" + std::to_string(panel.height));
    if (!blackBackground) return;
    const int left = picture ? (kPanelWidth - picture->width) / 2 : 0;
    const int top = picture ? (kPanelHeight - picture->height) / 2 : 0;
    for (int y = 0; y < kPanelHeight; ++y)
        for (int x = 0; x < kPanelWidth; ++x) {
            const int px = x - left, py = y - top;
            const bool inside = picture && px >= 0 && py >= 0 && px < picture->width &&
                                py < picture->height;
            for (int c = 0; c < 3; ++c) {
                const std::uint8_t want =
                    inside ? picture->pixels[(static_cast<size_t>(py) * picture->width + px) * 3 + c]
                           : 0;
                const std::uint8_t got = panel.pixels[(static_cast<size_t>(y) * kPanelWidth + x) * 3 + c];
                if (got != want)
                    fail("panel pixel", "(" + std::to_string(x) + "," + std::to_string(y) +
                                            ") channel " + std::to_string(c) + ": " +
                                            std::to_string(got) + ", decoded " +
                                            std::to_string(want));
            }
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<ui::Bitmap> picture = decodeJpeg(bytes);
    if (picture)
        QN_CHECK(picture->width > 0 && picture->height > 0 &&
                     picture->pixels.size() ==
                         static_cast<size_t>(picture->width) * picture->height * 3,
                 std::to_string(picture->width) + "x" + std::to_string(picture->height));

    Launcher& l = launcher();
    TForm1& f = *l.app->Form1;
    l.os.writeFile(kProgramDir + "screens\\alpha.jpg", bytes);
    l.os.writeFile(kProgramDir + "screens\\tolvane1.jpg", bytes);
    f.ShowPicture("alpha.jpg");
    QN_CHECK(l.app->state.CurrentPicture == "alpha.jpg", l.app->state.CurrentPicture);
    checkPanel(f.Image1.picture(), picture, true);
    f.ShowPicture(kLogoPicture1);
    checkPanel(f.Image1.picture(), picture, false);
    return 0;
}
