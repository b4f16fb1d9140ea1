// JPEG pictures decoded with libjpeg, straight onto the surface that shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qn {

// 24-bit pixels, top row first, rows of width * 3 bytes in blue, green, red
// order.
struct Pixmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};

// Where a picture lies on a surface it is centred on.
struct PicturePlacement {
    int width = 0, height = 0;  // the whole picture
    int left = 0, top = 0;      // its top left corner on the surface, negative when cut off
};

// What libjpeg may hold for a picture it must keep whole (a progressive one):
// enough for about 24 million pixels with the usual colour subsampling.
inline constexpr long kWholePictureBudget = 96L << 20;

// Draws the JPEG in `data` centred on `surface` (24-bit blue-green-red rows),
// cut to the surface: left = (surface width - picture width) / 2, and the same
// for top. Only the rows and columns that land on the surface are turned into
// pixels; the rows above them are still read through, as a JPEG demands, and
// the rows below are not read at all. A picture of any declared size up to
// the format's 65500 by 65500 so needs a few rows of its width and nothing of
// its height. Progressive pictures are the exception: libjpeg keeps their
// coefficients for the whole picture, and those that need more than
// kWholePictureBudget are refused.
//
// Returns where the picture lies, or nothing when the data is not a JPEG this
// decoder can read (CMYK ones included). A picture refused before its first
// row leaves the surface untouched; one that fails later may have drawn some
// rows. Never throws.
std::optional<PicturePlacement> drawJpegCentred(const std::string& data,
                                                Pixmap& surface) noexcept;

}  // namespace qn
