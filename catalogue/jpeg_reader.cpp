#include "catalogue/jpeg_reader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>  // after <cstdio>: it uses FILE and size_t

namespace qn {
namespace {

// A progressive picture is read scan by scan over the whole picture; a file
// made of thousands of tiny scans would keep the program busy for minutes.
constexpr int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {}  // warnings are not shown anywhere

void onProgress(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        onError(info);
}

struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
};

// All libjpeg work, from the header to the last row that shows. Its error
// handler jumps back to the setjmp below, so nothing in this frame may need
// destroying; its buffers come from libjpeg's own pool (an allocation it
// cannot make is one more error) and are freed when the decoder is destroyed.
bool decodeCentred(Decoder& d, const std::string& data, Pixmap& surface,
                   PicturePlacement& where) {
    jpeg_decompress_struct& info = d.info;
    if (setjmp(d.err.jump)) return false;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kWholePictureBudget;
    d.progress.progress_monitor = onProgress;
    info.progress = &d.progress;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;  // no conversion from CMYK: start fails for those
    jpeg_start_decompress(&info);

    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    where = {width, height, (surface.width - width) / 2, (surface.height - height) / 2};
    // The part of the picture that lands on the surface, in the picture's coordinates.
    const int x0 = std::max(0, -where.left), x1 = std::min(width, surface.width - where.left);
    const int y0 = std::max(0, -where.top), y1 = std::min(height, surface.height - where.top);
    if (x0 >= x1 || y0 >= y1) return true;

    // Smooth chroma upsampling treats the ends of a cut row as the picture's
    // edges, which changes the pixels next to them; a margin of one block
    // column on each side keeps those changes out of what is shown. The
    // smoothing of a progressive picture's missing detail changes two blocks
    // next to the cut, and upsampling carries that one pixel further: those
    // get three.
    const int margin = DCTSIZE * info.max_h_samp_factor * (info.progressive_mode ? 3 : 1);
    JDIMENSION cropLeft = static_cast<JDIMENSION>(std::max(0, x0 - margin));
    JDIMENSION cropWidth = static_cast<JDIMENSION>(std::min(width, x1 + margin)) - cropLeft;
    jpeg_crop_scanline(&info, &cropLeft, &cropWidth);  // may move cropLeft further left

    // Rows that fit the surface exactly are decoded straight onto it; wider
    // ones go through a row of their own and are cut from there.
    const bool exact = static_cast<int>(cropLeft) == x0 && static_cast<int>(cropWidth) == x1 - x0;
    JSAMPARRAY row = exact ? nullptr
                           : (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info),
                                                       JPOOL_IMAGE, cropWidth * 3, 1);
    if (y0 > 0) jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(y0));
    const size_t bytes = static_cast<size_t>(x1 - x0) * 3;
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* to = &surface.pixels[(static_cast<size_t>(where.top + y) * surface.width +
                                            where.left + x0) * 3];
        JSAMPROW target = exact ? to : row[0];
        if (jpeg_read_scanlines(&info, &target, 1) != 1) return false;
        if (!exact) std::memcpy(to, row[0] + static_cast<size_t>(x0 - int(cropLeft)) * 3, bytes);
    }
    // The rows below the surface are never decoded; the decoder is simply
    // destroyed, which also spares reading the rest of the file.
    return true;
}

}  // namespace

std::optional<PicturePlacement> drawJpegCentred(const std::string& data,
                                                Pixmap& surface) noexcept {
    if (data.empty() || surface.width < 0 || surface.height < 0 ||
        surface.pixels.size() < static_cast<size_t>(surface.width) * surface.height * 3)
        return std::nullopt;
    Decoder d;
    d.info.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = onError;
    d.err.pub.emit_message = onMessage;
    PicturePlacement where;
    const bool ok = decodeCentred(d, data, surface, where);
    jpeg_destroy_decompress(&d.info);  // also right for a decoder never created
    if (!ok) return std::nullopt;
    return where;
}

}  // namespace qn
