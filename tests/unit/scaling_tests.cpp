// Display scaling: lengths, rectangles and fonts at other resolutions, the
// resampling of pictures, and the picture panel drawn at the window's
// resolution.
#include <gtest/gtest.h>

#include "jpeg_fixture.h"
#include "test_support.h"
#include "ui/scaling.h"

namespace qn {
namespace {

using ui::Bitmap;
using ui::Rect;

Bitmap solid(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    for (int i = 0; i < width * height; ++i) bitmap.pixels.insert(bitmap.pixels.end(), {b, g, r});
    return bitmap;
}

int blueAt(const Bitmap& b, int x, int y) {
    return b.pixels[(static_cast<size_t>(y) * b.width + x) * 3];
}

bool sameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

TEST(Scaling, LengthsRoundToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(ui::scaleLength(679, 96), 679);
    EXPECT_EQ(ui::scaleLength(679, 144), 1019);  // 1018.5
    EXPECT_EQ(ui::scaleLength(517, 144), 776);   // 775.5
    EXPECT_EQ(ui::scaleLength(517, 120), 646);   // 646.25
    EXPECT_EQ(ui::scaleLength(361, 192), 722);
    EXPECT_EQ(ui::scaleLength(-3, 144), -5);     // -4.5: a captured pointer left of a control
    EXPECT_EQ(ui::scaleLength(0, 144), 0);
    // Back to layout units, as the pointer's position is given to the model.
    EXPECT_EQ(ui::unscaleLength(542, 144), 361);
    EXPECT_EQ(ui::unscaleLength(270, 144), 180);
    EXPECT_EQ(ui::unscaleLength(-7, 144), -5);   // -4.67
    for (int v : {0, 1, 17, 180, 361, 679})
        for (int dpi : {96, 120, 144, 168, 192, 288})
            EXPECT_EQ(ui::unscaleLength(ui::scaleLength(v, dpi), dpi), v) << v << " at " << dpi;
}

TEST(Scaling, RectanglesScaleTheirEdgesSoNeighboursStillMeet) {
    const Rect image{8, 8, 360, 240};
    EXPECT_TRUE(sameRect(ui::scaleRect(image, 96), image));
    EXPECT_TRUE(sameRect(ui::scaleRect(image, 144), {12, 12, 540, 360}));
    EXPECT_TRUE(sameRect(ui::scaleRect(image, 192), {16, 16, 720, 480}));
    // At 125 % a check box at 93 ends where 93 + 18 ends, not at 116 + 23.
    const Rect box = ui::scaleRect({8, 93, 185, 18}, 120);
    EXPECT_EQ(box.top, 116);      // 116.25
    EXPECT_EQ(box.height, 23);    // 139 - 116 (138.75)
    // The interface buttons overlap by one pixel at 96 dpi, and still touch at 150 %.
    const Rect single = ui::scaleRect({8, 176, 169, 23}, 144);
    const Rect common = ui::scaleRect({176, 176, 169, 23}, 144);
    EXPECT_GE(single.left + single.width, common.left);
    // Every edge is within half a pixel of the exact one.
    for (int dpi : {120, 144, 168, 192}) {
        const Rect r = ui::scaleRect({37, 211, 193, 17}, dpi);
        const double f = dpi / 96.0;
        EXPECT_NEAR(r.left, 37 * f, 0.5);
        EXPECT_NEAR(r.top, 211 * f, 0.5);
        EXPECT_NEAR(r.left + r.width, (37 + 193) * f, 0.5);
        EXPECT_NEAR(r.top + r.height, (211 + 17) * f, 0.5);
    }
}

TEST(Scaling, FontsKeepTheirPointsAndTakeThePixelsOfTheResolution) {
    EXPECT_EQ(ui::scaleFontHeight(8, 96), 11);  // 10.67, as 8 pt has always been 11 pixels
    EXPECT_EQ(ui::scaleFontHeight(9, 96), 12);
    EXPECT_EQ(ui::scaleFontHeight(11, 96), 15);
    EXPECT_EQ(ui::scaleFontHeight(8, 120), 13);  // 13.33
    EXPECT_EQ(ui::scaleFontHeight(8, 144), 16);
    EXPECT_EQ(ui::scaleFontHeight(9, 144), 18);
    EXPECT_EQ(ui::scaleFontHeight(8, 192), 21);  // 21.33
}

TEST(Resample, SameSizeIsACopyAndAPlainColourStaysPlain) {
    Bitmap picture = solid(7, 5, 10, 20, 30);
    picture.pixels[3 * 8] = 200;  // one odd pixel
    const Bitmap same = ui::resampleBitmap(picture, 7, 5);
    EXPECT_EQ(same.pixels, picture.pixels);

    for (auto [w, h] : {std::pair{11, 8}, std::pair{14, 10}, std::pair{3, 2}, std::pair{1, 1}}) {
        const Bitmap scaled = ui::resampleBitmap(solid(7, 5, 10, 20, 30), w, h);
        ASSERT_EQ(scaled.width, w);
        ASSERT_EQ(scaled.height, h);
        ASSERT_EQ(scaled.pixels.size(), static_cast<size_t>(w) * h * 3);
        for (size_t i = 0; i < scaled.pixels.size(); i += 3) {
            EXPECT_EQ(scaled.pixels[i], 10);
            EXPECT_EQ(scaled.pixels[i + 1], 20);
            EXPECT_EQ(scaled.pixels[i + 2], 30);
        }
    }
    EXPECT_EQ(ui::resampleBitmap(picture, 0, 5).pixels.size(), 0u);
    EXPECT_EQ(ui::resampleBitmap(Bitmap{}, 5, 5).pixels.size(), 0u);
}

TEST(Resample, EnlargingBlendsAnEdgeAndShrinkingAverages) {
    // Left half black, right half white, enlarged one and a half times.
    Bitmap edge = solid(4, 1, 0, 0, 0);
    for (int x = 2; x < 4; ++x) edge.pixels[x * 3] = 255;
    const Bitmap wide = ui::resampleBitmap(edge, 6, 1);
    EXPECT_EQ(blueAt(wide, 0, 0), 0);    // the ends keep their colours
    EXPECT_EQ(blueAt(wide, 5, 0), 255);
    // Across the edge the values rise, with a step between the plain ends
    // rather than a hard jump from 0 to 255 (what repeating pixels gives).
    for (int x = 1; x < 6; ++x) EXPECT_LE(blueAt(wide, x - 1, 0), blueAt(wide, x, 0));
    EXPECT_GT(blueAt(wide, 2, 0), 0);
    EXPECT_LT(blueAt(wide, 3, 0), 255);

    // Halving a checkerboard gives about its mean grey everywhere (the edges
    // weigh the pixels inside a little more).
    Bitmap checks = solid(8, 8, 0, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if ((x + y) % 2) checks.pixels[(y * 8 + x) * 3] = 254;
    const Bitmap half = ui::resampleBitmap(checks, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_NEAR(blueAt(half, x, y), 127, 4) << x << "," << y;
}

// The picture panel on a window shown at 150 %.
struct ScaledBackend : ui::Backend {
    void setApplicationTitle(const std::string&) override {}
    void realize(ui::Form& form) override { form.setDpi(dpi); }
    void run(ui::Form&) override {}
    TextMask renderTextAt(const ui::Font& font, const std::string& text, int at) override {
        textDpi = at;
        lastFont = font;
        // A block that grows with the resolution, as a real font's text does.
        const int w = ui::scaleLength(10, at), h = ui::scaleLength(8, at);
        return TextMask{w, h, std::vector<std::uint8_t>(static_cast<size_t>(w) * h, 1)};
    }
    std::array<std::uint8_t, 3> systemColor(ui::SysColor) override { return {10, 20, 30}; }
    int dpi = 144;
    int textDpi = 0;
    ui::Font lastFont;
};

class ScaledPicture : public test::LauncherTest {
protected:
    ScaledBackend backend;
    TForm1* f = nullptr;
    const std::string screens = test::kProgramDir + "screens\\";

    void SetUp() override {
        app = std::make_unique<App>(os, &backend);
        installSettings();
        writeProgramFiles("#Sample|sample\r\n");
        os.writeFile(screens + "tolvane1.jpg", test::encodeJpeg(100, 50, 0, 200));
        os.writeFile(screens + "noscreen.jpg", test::encodeJpeg(60, 40, 255, 255));
        ASSERT_EQ(start(), std::nullopt);
        f = app->Form1.get();
    }
    const Bitmap& panel() const { return f->Image1.picture(); }
    int redAt(int x, int y) const { return panel().pixels[(static_cast<size_t>(y) * panel().width + x) * 3 + 2]; }
    bool blue(int x, int y) const {
        const std::uint8_t* p = &panel().pixels[(static_cast<size_t>(y) * panel().width + x) * 3];
        return p[0] == 255 && p[1] == 0 && p[2] == 0;
    }
};

TEST_F(ScaledPicture, PanelIsDrawnAtTheWindowsResolutionWithTheTextInItsFont) {
    ASSERT_EQ(f->dpi(), 144);
    f->ShowPicture("tolvane1.jpg");
    ASSERT_EQ(panel().width, 540);
    ASSERT_EQ(panel().height, 360);
    EXPECT_EQ(panel().dpi, 144);
    // The 100 by 50 logo lies at (130, 95) at 96 dpi: at (195, 143), 150 by
    // 75, here, its edges blended over a pixel or two.
    EXPECT_EQ(redAt(192, 180), 10);  // the window's colour left of it
    EXPECT_NE(redAt(197, 180), 10);
    EXPECT_NE(redAt(341, 180), 10);
    EXPECT_EQ(redAt(347, 180), 10);
    // The version text asked for at this resolution, in its points, ending
    // 5 scaled pixels (8) inside the picture: a 15 by 12 block from (322, 198).
    EXPECT_EQ(backend.textDpi, 144);
    EXPECT_EQ(backend.lastFont.points, 11);
    EXPECT_TRUE(blue(322, 198));
    EXPECT_TRUE(blue(336, 209));
    EXPECT_FALSE(blue(337, 209));
    EXPECT_FALSE(blue(321, 198));
    EXPECT_FALSE(blue(336, 210));
}

TEST_F(ScaledPicture, ANewResolutionDrawsTheSamePictureAgainAtIt) {
    f->ShowPicture("missing.jpg");  // the placeholder, with nothing as the current picture
    EXPECT_EQ(panel().width, 540);
    f->setDpi(192);
    f->dpiChanged();
    EXPECT_EQ(panel().width, 720);
    EXPECT_EQ(panel().height, 480);
    EXPECT_EQ(panel().dpi, 192);
    EXPECT_EQ(app->state.CurrentPicture, "");
    // The 60 by 40 placeholder, centred at (150, 100) at 96 dpi, doubled.
    EXPECT_EQ(redAt(297, 250), 0);
    EXPECT_NE(redAt(303, 250), 0);
}

}  // namespace
}  // namespace qn
