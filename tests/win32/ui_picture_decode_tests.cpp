// The picture panel's decoding in the 32-bit program, with the libjpeg it
// ships (built without SIMD): cut pictures match the whole decode there too,
// and pictures that claim the format's largest size fit the address space.
#include <gtest/gtest.h>

#include <string>

#include "../unit/jpeg_fixture.h"
#include "catalogue/jpeg_reader.h"

namespace qn {
namespace {

Pixmap surfaceOf(int width, int height, std::uint8_t value) {
    Pixmap s;
    s.width = width;
    s.height = height;
    s.pixels.assign(static_cast<size_t>(width) * height * 3, value);
    return s;
}

TEST(PictureDecode32, CutPicturesMatchTheWholeDecode) {
    using test::JpegColour;
    for (JpegColour colour : {JpegColour::Halved, JpegColour::HalvedAcross, JpegColour::Grey})
        for (test::JpegKind kind : {test::JpegKind::Baseline, test::JpegKind::Progressive}) {
            SCOPED_TRACE(std::to_string(int(colour)) + " " + std::to_string(int(kind)));
            const int channels = colour == JpegColour::Grey ? 1 : 3;
            const std::string jpeg = test::encodePixels(
                603, 379, test::texturedPixels(603, 379, channels), colour, kind, 90);
            Pixmap surface = surfaceOf(360, 240, 0);
            ASSERT_TRUE(drawJpegCentred(jpeg, surface).has_value());
            EXPECT_TRUE(surface.pixels ==
                        test::centredOn(*test::decodeWhole(jpeg), 360, 240).pixels);
        }
}

TEST(PictureDecode32, TheLargestDeclaredSizeIsShown) {
    // A few hundred bytes claiming 65500 by 65500 pixels: 12 GB whole, which
    // no 32-bit process can hold.
    std::string jpeg = test::encodeJpeg(16, 16, 0, 0);
    const size_t sof = jpeg.find("\xff\xc0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = '\xff';
    jpeg[sof + 6] = jpeg[sof + 8] = '\xdc';
    Pixmap surface = surfaceOf(360, 240, 0);
    const auto where = drawJpegCentred(jpeg, surface);
    ASSERT_TRUE(where.has_value());
    EXPECT_EQ(where->width, 65500);
    EXPECT_EQ(where->left, (360 - 65500) / 2);
    EXPECT_TRUE(surface.pixels == surfaceOf(360, 240, 128).pixels);  // the missing data, mid grey
}

}  // namespace
}  // namespace qn
