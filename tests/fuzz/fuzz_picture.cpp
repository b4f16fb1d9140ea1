// A screenshot's bytes decoded once onto a surface of a size the input's
// length picks, small enough that most pictures are cut. The picture lies
// centred; nothing outside it changes; and a picture small enough to decode
// whole again cheaply shows, where it lands, exactly the pixels a plain
// libjpeg decode gives. The memory limit in fuzz_picture.options holds the
// decoder to its bounded budget whatever size a file declares; pictures in
// several scans declared larger than kMostWholePixels are not drawn here
// (see there).
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>  // after <cstdio>: it uses FILE and size_t

#include "../unit/jpeg_fixture.h"
#include "catalogue/jpeg_reader.h"
#include "fuzz_check.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

constexpr int kCheapPixels = 96 * 96;
// Pictures in several scans (progressive ones, and baseline ones with a
// scan per colour) declared larger are left out: libjpeg allocates and
// clears the coefficients of the whole picture and goes through all of them
// at every scan, so one of 65000 by 255 took 40 ms, whatever its few
// hundred bytes, and a corpus that found such pictures ran nearly four
// times slower. Up to this size one is still as wide as the format allows
// and many times the surface (65500 by 16, 1024 by 1024), so its cutting is
// checked as before; pictures in one scan, read only down to the surface,
// are all kept, whatever size they declare.
constexpr long kMostWholePixels = 1L << 20;
constexpr std::uint8_t kUntouched = 0xa5;

struct Reference {
    jpeg_decompress_struct info{};
    struct : jpeg_error_mgr {
        std::jmp_buf jump;
    } err;
    jpeg_progress_mgr progress{};
    Pixmap out;

    enum Result { Refused, TooBig, Decoded };

    // The header, with the product's limits: its memory budget and at most
    // 500 scans. False when libjpeg refuses it.
    bool header(const std::string& data) {
        info.err = jpeg_std_error(&err);
        err.error_exit = [](j_common_ptr c) { std::longjmp(static_cast<decltype(err)*>(c->err)->jump, 1); };
        err.emit_message = [](j_common_ptr, int) {};
        if (setjmp(err.jump)) return false;
        jpeg_create_decompress(&info);
        info.mem->max_memory_to_use = kWholePictureBudget;
        progress.progress_monitor = [](j_common_ptr c) {
            if (reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > 500) c->err->error_exit(c);
        };
        info.progress = &progress;
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), data.size());
        jpeg_read_header(&info, TRUE);
        return true;
    }

    long area() const { return static_cast<long>(info.image_width) * info.image_height; }

    // Then the whole picture row by row. Nothing in these frames needs
    // destroying.
    Result decode() {
        if (setjmp(err.jump)) return Refused;
        if (area() > kCheapPixels) return TooBig;
        test::decodeAllRows(info, out);
        return Decoded;
    }
    ~Reference() { jpeg_destroy_decompress(&info); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto reference = std::make_unique<Reference>();
    const bool readable = reference->header(bytes);
    if (readable && jpeg_has_multiple_scans(&reference->info) && reference->area() > kMostWholePixels) return 0;
    Pixmap surface{16 + static_cast<int>(size % 48), 16 + static_cast<int>(size / 48 % 48), {}};
    surface.pixels.assign(static_cast<size_t>(surface.width) * surface.height * 3, kUntouched);
    const std::optional<PicturePlacement> placed = drawJpegCentred(bytes, surface);
    const std::string where = placed ? std::to_string(placed->width) + "x" + std::to_string(placed->height) +
                                           " at " + std::to_string(placed->left) + "," +
                                           std::to_string(placed->top)
                                     : "refused";
    if (placed)
        QN_CHECK(placed->width >= 1 && placed->height >= 1 && placed->width <= 65500 &&
                     placed->height <= 65500 && placed->left == (surface.width - placed->width) / 2 &&
                     placed->top == (surface.height - placed->height) / 2,
                 where);

    // Outside the picture the surface is as it was (a refused picture may
    // have drawn some rows before its fault).
    const int x0 = placed ? std::max(0, placed->left) : 0;
    const int x1 = placed ? std::min(surface.width, placed->left + placed->width) : 0;
    const int y0 = placed ? std::max(0, placed->top) : 0;
    const int y1 = placed ? std::min(surface.height, placed->top + placed->height) : 0;
    auto pixel = [&](int x, int y) { return &surface.pixels[(static_cast<size_t>(y) * surface.width + x) * 3]; };
    for (int y = 0; placed && y < surface.height; ++y)
        for (int x = 0; x < surface.width; ++x) {
            if (x >= x0 && x < x1 && y >= y0 && y < y1) continue;
            const std::uint8_t* p = pixel(x, y);
            if (p[0] != kUntouched || p[1] != kUntouched || p[2] != kUntouched)
                fail("drawn outside the picture", std::to_string(x) + "," + std::to_string(y) + ", " + where);
        }

    if (!readable || reference->decode() != Reference::Decoded) return 0;
    const Pixmap& whole = reference->out;
    QN_CHECK(placed, "refused a picture libjpeg decodes whole, " + std::to_string(whole.width) + "x" +
                         std::to_string(whole.height));
    QN_CHECK(placed->width == whole.width && placed->height == whole.height, where);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* from =
            &whole.pixels[(static_cast<size_t>(y - placed->top) * whole.width + (x0 - placed->left)) * 3];
        if (!std::equal(from, from + static_cast<size_t>(x1 - x0) * 3, pixel(x0, y)))
            fail("pixels differ from the whole decode", "row " + std::to_string(y) + ", " + where);
    }
    return 0;
}
