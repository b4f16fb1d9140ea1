#include <gtest/gtest.h>

#include "catalogue/jpeg_reader.h"
#include "jpeg_fixture.h"
#include "test_support.h"

namespace qn {
namespace {

using test::encodeJpeg;

struct Rgb {
    int r, g, b;
};

Rgb pixel(const ui::Bitmap& b, int x, int y) {
    const std::uint8_t* p = &b.pixels[(static_cast<size_t>(y) * b.width + x) * 3];
    return {p[2], p[1], p[0]};
}

bool near(Rgb a, Rgb b, int tolerance = 6) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// A window system that inks a 10 by 8 block for any text.
struct FakeBackend : ui::Backend {
    void setApplicationTitle(const std::string&) override {}
    void realize(ui::Form&) override {}
    void run(ui::Form&) override {}
    TextMask renderText(const ui::Font& font, const std::string& text) override {
        lastFont = font;
        lastText = text;
        return TextMask{10, 8, std::vector<std::uint8_t>(80, 1)};
    }
    std::array<std::uint8_t, 3> systemColor(ui::SysColor) override { return {10, 20, 30}; }
    ui::Font lastFont;
    std::string lastText;
};

class Picture : public test::LauncherTest {
protected:
    FakeBackend backend;
    TForm1* f = nullptr;
    const std::string screens = test::kProgramDir + "screens\\";

    void SetUp() override {
        app = std::make_unique<App>(os, &backend);
        installSettings();
        writeProgramFiles("#Sample|sample\r\n");
        os.writeFile(screens + "tolvane1.jpg", encodeJpeg(100, 50, 0, 200));
        os.writeFile(test::kProgramDir + "tolvane2.jpg", encodeJpeg(100, 50, 200, 0));
        os.writeFile(screens + "noscreen.jpg", encodeJpeg(60, 40, 255, 255));
        ASSERT_EQ(start(), std::nullopt);
        f = app->Form1.get();
    }
    const ui::Bitmap& panel() const { return f->Image1.picture(); }
};

TEST_F(Picture, SmallPictureIsCentredOnBlack) {
    os.writeFile(screens + "odd.jpg", encodeJpeg(101, 101, 100, 100));
    f->ShowPicture("odd.jpg");
    EXPECT_EQ(app->state.CurrentPicture, "odd.jpg");
    ASSERT_EQ(panel().width, 360);
    ASSERT_EQ(panel().height, 240);
    EXPECT_TRUE(near(pixel(panel(), 128, 100), {0, 0, 0}, 0));
    EXPECT_TRUE(near(pixel(panel(), 129, 69), {0, 100, 100}));     // the picture's left column
    EXPECT_TRUE(near(pixel(panel(), 229, 169), {255, 100, 100}));  // its right bottom corner
    EXPECT_TRUE(near(pixel(panel(), 230, 169), {0, 0, 0}, 0));
    EXPECT_TRUE(near(pixel(panel(), 129, 170), {0, 0, 0}, 0));
}

TEST_F(Picture, LargePictureIsCutOnBothSides) {
    os.writeFile(screens + "big.jpg", encodeJpeg(401, 301, 50, 50));
    f->ShowPicture("big.jpg");
    // Offsets (-20, -30): the panel's first column is the picture's column 20.
    EXPECT_TRUE(near(pixel(panel(), 0, 0), {20 * 255 / 400, 50, 50}));
    EXPECT_TRUE(near(pixel(panel(), 359, 239), {379 * 255 / 400, 50, 50}));
}

TEST_F(Picture, FirstLogoCarriesTheVersionOnTheWindowColour) {
    f->ShowPicture("tolvane1.jpg");
    EXPECT_EQ(backend.lastText, "v2.09");
    EXPECT_EQ(backend.lastFont.face, "MS Sans Serif");
    EXPECT_EQ(backend.lastFont.points, 11);
    EXPECT_TRUE(backend.lastFont.bold);
    // The 100 by 50 logo lies at (130, 95); the text ends 5 pixels inside it.
    EXPECT_TRUE(near(pixel(panel(), 0, 0), {10, 20, 30}, 0));
    EXPECT_TRUE(near(pixel(panel(), 215, 132), {0, 0, 255}, 0));  // text's top left
    EXPECT_TRUE(near(pixel(panel(), 224, 139), {0, 0, 255}, 0));  // its bottom right
    EXPECT_FALSE(near(pixel(panel(), 225, 139), {0, 0, 255}, 0));
    EXPECT_FALSE(near(pixel(panel(), 214, 132), {0, 0, 255}, 0));
}

TEST_F(Picture, MouseButtonsSwitchBetweenTheLogos) {
    auto up = [&](ui::MouseEvent::Button b) {
        ui::MouseEvent e;
        e.button = b;
        f->Image1.mouseUp(e);
        return app->state.CurrentPicture;
    };
    f->ShowPicture("missing.jpg");
    EXPECT_EQ(app->state.CurrentPicture, "");
    EXPECT_EQ(up(ui::MouseEvent::Left), "");
    EXPECT_EQ(up(ui::MouseEvent::Right), "tolvane1.jpg");
    backend.lastText.clear();
    EXPECT_EQ(up(ui::MouseEvent::Left), "tolvane2.jpg");  // found beside the program
    EXPECT_EQ(backend.lastText, "");                     // no version text on this one
    EXPECT_TRUE(near(pixel(panel(), 0, 0), {10, 20, 30}, 0));
    EXPECT_EQ(up(ui::MouseEvent::Middle), "tolvane2.jpg");
    EXPECT_EQ(up(ui::MouseEvent::Left), "tolvane1.jpg");
}

TEST_F(Picture, MissingScreenshotShowsThePlaceholderOnBlack) {
    f->ShowPicture("sample.jpg");
    EXPECT_EQ(app->state.CurrentPicture, "");
    EXPECT_TRUE(near(pixel(panel(), 0, 0), {0, 0, 0}, 0));
    EXPECT_TRUE(near(pixel(panel(), 179, 119), {255 / 2, 255, 255}, 8));
}

TEST_F(Picture, UnreadablePicturesLeaveAnEmptyPanel) {
    os.writeFile(screens + "broken.jpg", "not a jpeg at all");
    std::string truncated = encodeJpeg(80, 80, 1, 1);
    os.writeFile(screens + "cut.jpg", truncated.substr(0, truncated.size() / 2));
    f->ShowPicture("broken.jpg");
    EXPECT_EQ(app->state.CurrentPicture, "broken.jpg");
    EXPECT_TRUE(near(pixel(panel(), 180, 120), {0, 0, 0}, 0));
    f->ShowPicture("cut.jpg");  // decodes what is there, or nothing: never a crash
    EXPECT_EQ(panel().width, 360);
    os.deleteFile(screens + "noscreen.jpg");
    f->ShowPicture("nowhere.jpg");
    EXPECT_TRUE(near(pixel(panel(), 180, 120), {0, 0, 0}, 0));
}

TEST(Jpeg, ProgressiveDecodesAndCmykIsRefusedWithoutHarm) {
    auto progressive = decodeJpeg(encodeJpeg(64, 32, 10, 20, test::JpegKind::Progressive));
    ASSERT_TRUE(progressive.has_value());
    EXPECT_EQ(progressive->width, 64);
    EXPECT_TRUE(near(pixel(*progressive, 63, 31), {255, 10, 20}));
    // This decoder gives no colour conversion from CMYK: the picture counts
    // as one it cannot read.
    EXPECT_FALSE(decodeJpeg(encodeJpeg(16, 16, 0, 0, test::JpegKind::Cmyk)).has_value());
}

TEST(Jpeg, RefusesGarbageAndHugeDeclaredSizes) {
    EXPECT_FALSE(decodeJpeg("").has_value());
    EXPECT_FALSE(decodeJpeg(std::string(1000, '\xff')).has_value());
    std::string jpeg = encodeJpeg(16, 16, 0, 0);
    // Patch the frame header's height and width to 60000 by 60000.
    size_t sof = jpeg.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = '\xea';
    jpeg[sof + 6] = jpeg[sof + 8] = '\x60';
    EXPECT_FALSE(decodeJpeg(jpeg).has_value());
    auto ok = decodeJpeg(encodeJpeg(3, 2, 0, 0));
    ASSERT_TRUE(ok.has_value());
    EXPECT_EQ(ok->width, 3);
    EXPECT_EQ(ok->pixels.size(), 18u);
}

}  // namespace
}  // namespace qn
