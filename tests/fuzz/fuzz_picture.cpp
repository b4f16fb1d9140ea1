// A screenshot's bytes: drawn on a panel-sized surface, then shown in the
// main window's picture panel as a game's screenshot and as the first logo.
// The panel must show exactly what the decoder drew, and the decoder must
// place the picture centred; the memory limit in fuzz_picture.options holds
// it to its bounded budget whatever size a file declares.
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

// The panel shows what the decoder draws on a black panel-sized surface,
// or nothing but black when the picture is refused.
void checkPanel(const ui::Bitmap& panel, const Pixmap* drawn) {
    QN_CHECK(panel.width == kPanelWidth && panel.height == kPanelHeight &&
                 panel.pixels.size() == static_cast<size_t>(kPanelWidth) * kPanelHeight * 3,
             std::to_string(panel.width) + "x" + std::to_string(panel.height));
    for (size_t i = 0; i < panel.pixels.size(); ++i) {
        const std::uint8_t want = drawn ? drawn->pixels[i] : 0;
        if (panel.pixels[i] != want)
            fail("panel pixel", "byte " + std::to_string(i) + ": " +
                                    std::to_string(panel.pixels[i]) + ", drawn " +
                                    std::to_string(want));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Pixmap drawn{kPanelWidth, kPanelHeight,
                  std::vector<std::uint8_t>(static_cast<size_t>(kPanelWidth) * kPanelHeight * 3)};
    const std::optional<PicturePlacement> placed = drawJpegCentred(bytes, drawn);
    if (placed)
        QN_CHECK(placed->width >= 1 && placed->height >= 1 && placed->width <= 65500 &&
                     placed->height <= 65500 && placed->left == (kPanelWidth - placed->width) / 2 &&
                     placed->top == (kPanelHeight - placed->height) / 2,
                 std::to_string(placed->width) + "x" + std::to_string(placed->height) + " at " +
                     std::to_string(placed->left) + "," + std::to_string(placed->top));

    Launcher& l = launcher();
    TForm1& f = *l.app->Form1;
    l.os.writeFile(kProgramDir + "screens\\alpha.jpg", bytes);
    l.os.writeFile(kProgramDir + "screens\\tolvane1.jpg", bytes);
    f.ShowPicture("alpha.jpg");
    QN_CHECK(l.app->state.CurrentPicture == "alpha.jpg", l.app->state.CurrentPicture);
    checkPanel(f.Image1.picture(), placed ? &drawn : nullptr);
    // The logo lies on the window's colour: only its size is the panel's.
    f.ShowPicture(kLogoPicture1);
    const ui::Bitmap& logo = f.Image1.picture();
    QN_CHECK(logo.width == kPanelWidth && logo.height == kPanelHeight, "logo panel size");
    return 0;
}
