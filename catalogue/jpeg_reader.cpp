#include "catalogue/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace qn {
namespace {

// Pictures larger than this are refused rather than allocated.
constexpr unsigned kMaxSide = 8192;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {}  // warnings are not shown anywhere

}  // namespace

std::optional<ui::Bitmap> decodeJpeg(const std::string& data) {
    if (data.empty()) return std::nullopt;
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    // The bitmap lives outside the jump's reach so nothing with a destructor
    // is skipped by longjmp.
    ui::Bitmap* out = new ui::Bitmap;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        delete out;
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
        jpeg_destroy_decompress(&info);
        delete out;
        return std::nullopt;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    out->width = static_cast<int>(info.output_width);
    out->height = static_cast<int>(info.output_height);
    out->pixels.resize(static_cast<size_t>(out->width) * out->height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out->pixels[static_cast<size_t>(info.output_scanline) * out->width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    ui::Bitmap result = std::move(*out);
    delete out;
    return result;
}

}  // namespace qn
