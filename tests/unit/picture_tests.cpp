#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's runtime offers this; GCC ships no header for it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*onMalloc)(const volatile void*, std::size_t), void (*onFree)(const volatile void*));
#define QN_HEAP_HOOKS 1
#endif

#include "catalogue/jpeg_reader.h"
#include "jpeg_fixture.h"
#include "test_support.h"

namespace qn {
namespace {

// What a piece of code takes from the heap, seen through the address
// sanitizer's allocation hooks (libjpeg's allocations included): the sum of
// every allocation it makes, an upper bound of what it holds at any time.
struct HeapWatch {
    size_t allocated = 0;

    static bool available() {
#ifdef QN_HEAP_HOOKS
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(
                                          [](const volatile void*, size_t size) {
                                              if (watching) total += size;
                                          },
                                          [](const volatile void*) {}) != 0;
        return installed;
#else
        return false;
#endif
    }
    template <class Work>
    static HeapWatch during(Work&& work) {
        total = 0;
        watching = true;
        work();
        watching = false;
        return HeapWatch{total};
    }

private:
    static inline std::atomic<bool> watching{false};
    static inline std::atomic<size_t> total{0};
};

using test::encodeJpeg;

struct Rgb {
    int r, g, b;
};

// The panel's bitmap or a decoded picture: the same pixel layout.
template <typename Pixels>
Rgb pixel(const Pixels& b, int x, int y) {
    const std::uint8_t* p = &b.pixels[(static_cast<size_t>(y) * b.width + x) * 3];
    return {p[2], p[1], p[0]};
}

bool near(Rgb a, Rgb b, int tolerance = 6) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// A surface of one colour, to see what a decode wrote on it.
Pixmap surfaceOf(int width, int height, std::uint8_t value = 0) {
    Pixmap s;
    s.width = width;
    s.height = height;
    s.pixels.assign(static_cast<size_t>(width) * height * 3, value);
    return s;
}

// Where two surfaces first differ, for a readable failure.
// The panel's bitmap or a decoder's surface: the same pixel layout.
template <typename Got, typename Want>
std::string firstDifference(const Got& got, const Want& want) {
    if (got.width != want.width || got.height != want.height) return "sizes differ";
    if (got.pixels == want.pixels) return "";
    for (size_t i = 0; i < want.pixels.size(); ++i)
        if (got.pixels[i] != want.pixels[i]) {
            const size_t px = i / 3;
            return "first difference at (" + std::to_string(px % want.width) + ", " +
                   std::to_string(px / want.width) + "): " + std::to_string(got.pixels[i]) +
                   " instead of " + std::to_string(want.pixels[i]);
        }
    return "";
}

// A small JPEG whose frame header claims another size; the data for the rest
// is missing, which libjpeg shows as mid grey.
std::string declaringSize(std::string jpeg, int width, int height) {
    size_t sof = jpeg.find("\xff\xc0");
    if (sof == std::string::npos) sof = jpeg.find("\xff\xc2");
    if (sof == std::string::npos) return "";
    jpeg[sof + 5] = static_cast<char>(height >> 8), jpeg[sof + 6] = static_cast<char>(height);
    jpeg[sof + 7] = static_cast<char>(width >> 8), jpeg[sof + 8] = static_cast<char>(width);
    return jpeg;
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
    panel();  // drawn when first read
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

TEST_F(Picture, TheWindowOpensOnTheLogoWithoutReadingTheFirstGamesScreenshot) {
    // The list's first game is selected on the way, and its picture given way
    // to the logo before anything is painted.
    os.writeFile(screens + "sample.jpg", encodeJpeg(80, 60, 1, 1));
    os.filesRead.clear();
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_EQ(app->state.CurrentPicture, "tolvane1.jpg");
    EXPECT_TRUE(near(pixel(panel(), 0, 0), {10, 20, 30}, 0));
    auto reads = [&](const std::string& name) {
        return std::count(os.filesRead.begin(), os.filesRead.end(), screens + name);
    };
    EXPECT_EQ(reads("sample.jpg"), 0);
    EXPECT_EQ(reads("noscreen.jpg"), 0);
    EXPECT_EQ(reads("tolvane1.jpg"), 1);
    f->ShowPicture("sample.jpg");
    EXPECT_TRUE(near(pixel(panel(), 179, 119), {255 / 2, 1, 1}, 8));
    panel();
    EXPECT_EQ(reads("sample.jpg"), 1);
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

TEST_F(Picture, ShowsTheWholePictureCentredAndCut) {
    // Bigger, smaller and the size of the panel; odd sizes give odd offsets.
    for (auto [w, h] : std::vector<std::pair<int, int>>{{1203, 817}, {360, 240}, {99, 41}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const std::string jpeg =
            test::encodePixels(w, h, test::texturedPixels(w, h), test::JpegColour::Halved,
                               test::JpegKind::Baseline, 85);
        os.writeFile(screens + "shot.jpg", jpeg);
        os.writeFile(screens + "tolvane2.jpg", jpeg);
        const Pixmap whole = *test::decodeWhole(jpeg);
        f->ShowPicture("shot.jpg");
        EXPECT_EQ(firstDifference(panel(), test::centredOn(whole, 360, 240)), "");
        f->ShowPicture("tolvane2.jpg");  // a logo, on the window's colour
        EXPECT_EQ(firstDifference(panel(), test::centredOn(whole, 360, 240, {10, 20, 30})), "");
    }
}

TEST_F(Picture, HugeDeclaredScreenshotIsShownWithoutABigAllocation) {
    if (!HeapWatch::available()) GTEST_SKIP() << "needs the address sanitizer's allocation hooks";
    // About 600 bytes that claim 8192 by 8192 pixels.
    const std::string jpeg = declaringSize(encodeJpeg(16, 16, 0, 0), 8192, 8192);
    ASSERT_LT(jpeg.size(), 1000u);
    os.writeFile(screens + "huge.jpg", jpeg);
    const HeapWatch heap = HeapWatch::during([&] { f->ShowPicture("huge.jpg"); });
    EXPECT_EQ(app->state.CurrentPicture, "huge.jpg");
    // Its centre: the missing data, mid grey.
    EXPECT_EQ(panel().pixels, surfaceOf(360, 240, 128).pixels);
    // The panel and a few rows of the picture for libjpeg: a small multiple
    // of the panel, where the whole picture would take 192 MiB.
    EXPECT_LT(heap.allocated, 3u * 360 * 240 * 3) << heap.allocated << " bytes allocated";
}

TEST_F(Picture, AScreenshotTooBigToReadLeavesThePanelBlank) {
    os.writeFile(screens + "vast.jpg", encodeJpeg(80, 60, 1, 1));
    os.outOfMemoryReads.insert(screens + "vast.jpg");
    EXPECT_NO_THROW(f->ShowPicture("vast.jpg"));
    EXPECT_EQ(app->state.CurrentPicture, "vast.jpg");
    EXPECT_EQ(panel().pixels, surfaceOf(360, 240, 0).pixels);
    f->ShowPicture("tolvane1.jpg");  // and the panel goes on working
    EXPECT_TRUE(near(pixel(panel(), 180, 100), {50 * 255 / 99, 0, 200}));
}

TEST(JpegOnASurface, ShowsExactlyTheWholePictureCentredAndCut) {
    using test::JpegColour;
    using test::JpegKind;
    // Larger, smaller and equal to the surface, in each direction alone, with
    // odd sizes and odd offsets, and cut edges on and off block boundaries.
    const std::vector<std::pair<int, int>> sizes = {{603, 379}, {360, 240}, {361, 241}, {359, 239},
                                                    {101, 101}, {380, 250}, {500, 100}, {50, 700},
                                                    {700, 31},  {1, 1},     {17, 523}};
    const std::vector<std::pair<int, int>> surfaces = {{360, 240}, {37, 23}};
    for (JpegKind kind : {JpegKind::Baseline, JpegKind::Progressive})
        for (JpegColour colour :
             {JpegColour::Halved, JpegColour::HalvedAcross, JpegColour::Whole, JpegColour::Grey})
            for (auto [w, h] : sizes) {
                const int channels = colour == JpegColour::Grey ? 1 : 3;
                const std::string jpeg = test::encodePixels(
                    w, h, test::texturedPixels(w, h, channels), colour, kind, 90);
                const std::optional<Pixmap> whole = test::decodeWhole(jpeg);
                ASSERT_TRUE(whole.has_value());
                for (auto [sw, sh] : surfaces) {
                    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " on " +
                                 std::to_string(sw) + "x" + std::to_string(sh) + ", kind " +
                                 std::to_string(int(kind)) + ", colour " +
                                 std::to_string(int(colour)));
                    Pixmap surface = surfaceOf(sw, sh);
                    const auto where = drawJpegCentred(jpeg, surface);
                    ASSERT_TRUE(where.has_value());
                    EXPECT_EQ(where->width, w);
                    EXPECT_EQ(where->height, h);
                    EXPECT_EQ(where->left, (sw - w) / 2);
                    EXPECT_EQ(where->top, (sh - h) / 2);
                    EXPECT_EQ(firstDifference(surface, test::centredOn(*whole, sw, sh)), "");
                }
            }
}

TEST(JpegOnASurface, ProgressiveDecodesAndCmykIsRefusedWithoutHarm) {
    Pixmap surface = surfaceOf(64, 32);
    auto progressive =
        drawJpegCentred(test::encodeJpeg(64, 32, 10, 20, test::JpegKind::Progressive), surface);
    ASSERT_TRUE(progressive.has_value());
    EXPECT_EQ(progressive->width, 64);
    EXPECT_TRUE(near(pixel(surface, 63, 31), {255, 10, 20}));
    // This decoder gives no colour conversion from CMYK: the picture counts
    // as one it cannot read, and the surface keeps what it had.
    Pixmap untouched = surfaceOf(16, 16, 77);
    EXPECT_FALSE(
        drawJpegCentred(encodeJpeg(16, 16, 0, 0, test::JpegKind::Cmyk), untouched).has_value());
    EXPECT_EQ(untouched.pixels, surfaceOf(16, 16, 77).pixels);
}

TEST(JpegOnASurface, ProgressivePicturesOfMoreThan500ScansAreRefused) {
    // Each scan is a pass over the whole picture: thousands of them in a
    // small file would keep the panel busy for minutes.
    Pixmap surface = surfaceOf(8, 8, 77);
    const std::string most = test::encodeManyScans(500);
    ASSERT_TRUE(drawJpegCentred(most, surface).has_value());
    EXPECT_EQ(surface.pixels, test::decodeWhole(most)->pixels);
    Pixmap untouched = surfaceOf(8, 8, 77);
    const std::string tooMany = test::encodeManyScans(501);
    ASSERT_TRUE(test::decodeWhole(tooMany).has_value());  // a valid picture all the same
    EXPECT_FALSE(drawJpegCentred(tooMany, untouched).has_value());
    EXPECT_EQ(untouched.pixels, surfaceOf(8, 8, 77).pixels);
}

TEST(JpegOnASurface, RefusesGarbageAndSizesBeyondTheFormat) {
    Pixmap surface = surfaceOf(360, 240, 77);
    EXPECT_FALSE(drawJpegCentred("", surface).has_value());
    EXPECT_FALSE(drawJpegCentred(std::string(1000, '\xff'), surface).has_value());
    const std::string jpeg = encodeJpeg(16, 16, 0, 0);
    EXPECT_FALSE(drawJpegCentred(declaringSize(jpeg, 65501, 16), surface).has_value());
    EXPECT_FALSE(drawJpegCentred(declaringSize(jpeg, 16, 65535), surface).has_value());
    EXPECT_FALSE(drawJpegCentred(declaringSize(jpeg, 0, 16), surface).has_value());
    EXPECT_EQ(surface.pixels, surfaceOf(360, 240, 77).pixels);
    // A surface whose pixels do not match its size is not written to.
    Pixmap bad = surfaceOf(360, 240);
    bad.height = 241;
    EXPECT_FALSE(drawJpegCentred(jpeg, bad).has_value());
    const std::string small = encodeJpeg(3, 2, 0, 0);
    auto ok = drawJpegCentred(small, surface);
    ASSERT_TRUE(ok.has_value());
    EXPECT_EQ(ok->width, 3);
    EXPECT_EQ(ok->height, 2);
    EXPECT_EQ(ok->left, 178);
    EXPECT_EQ(ok->top, 119);
    EXPECT_EQ(firstDifference(surface,
                              test::centredOn(*test::decodeWhole(small), 360, 240, {77, 77, 77})),
              "");
}

TEST(JpegOnASurface, HugeDeclaredPicturesCostAboutTheSurface) {
    if (!HeapWatch::available()) GTEST_SKIP() << "needs the address sanitizer's allocation hooks";
    const std::string tiny = encodeJpeg(16, 16, 0, 0);
    for (int side : {8192, 20000, 65500}) {
        SCOPED_TRACE(side);
        const std::string jpeg = declaringSize(tiny, side, side);
        ASSERT_LT(jpeg.size(), 1000u);
        Pixmap surface = surfaceOf(360, 240, 77);
        std::optional<PicturePlacement> where;
        const HeapWatch heap = HeapWatch::during([&] { where = drawJpegCentred(jpeg, surface); });
        ASSERT_TRUE(where.has_value());
        EXPECT_EQ(where->left, (360 - side) / 2);
        EXPECT_EQ(where->top, (240 - side) / 2);
        EXPECT_EQ(surface.pixels, surfaceOf(360, 240, 128).pixels);  // the missing data, mid grey
        // libjpeg's few rows of the picture's width, some 34 bytes a column,
        // and nothing of its height: the whole picture would take 192 MiB at
        // the least, 12 GB at the most.
        EXPECT_LT(heap.allocated, 64u * 1024 + static_cast<size_t>(side) * 40)
            << heap.allocated << " bytes allocated";
    }
    // A progressive picture is held whole, within the budget, and refused
    // when it needs more (8192 by 6144 takes 144 MiB of coefficients).
    const std::string progressive = encodeJpeg(16, 16, 0, 0, test::JpegKind::Progressive);
    for (int side : {4000, 8192}) {
        SCOPED_TRACE(side);
        Pixmap surface = surfaceOf(360, 240, 77);
        std::optional<PicturePlacement> where;
        const HeapWatch heap = HeapWatch::during([&] {
            where = drawJpegCentred(declaringSize(progressive, side, side * 3 / 4), surface);
        });
        EXPECT_LT(heap.allocated, static_cast<size_t>(kWholePictureBudget)) << heap.allocated;
        EXPECT_EQ(where.has_value(), side == 4000);
        EXPECT_EQ(surface.pixels, surfaceOf(360, 240, where ? 128 : 77).pixels);
    }
}

}  // namespace
}  // namespace qn
