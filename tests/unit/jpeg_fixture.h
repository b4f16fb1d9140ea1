// JPEG pictures made by the tests themselves, with libjpeg.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace qn::test {

// How a test picture is stored.
enum class JpegKind { Baseline, Progressive, Cmyk };

// A JPEG whose red channel ramps from 0 at the left to 255 at the right and
// whose green and blue are fixed.
inline std::string encodeJpeg(int width, int height, std::uint8_t green, std::uint8_t blue,
                              JpegKind kind = JpegKind::Baseline) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    const int components = kind == JpegKind::Cmyk ? 4 : 3;
    info.input_components = components;
    info.in_color_space = kind == JpegKind::Cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (kind == JpegKind::Progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(width * components);
    for (int x = 0; x < width; ++x) {
        unsigned char* p = &row[x * components];
        p[0] = static_cast<unsigned char>(width > 1 ? x * 255 / (width - 1) : 0);
        p[1] = green;
        p[2] = blue;
        if (components == 4) p[3] = 0;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

}  // namespace qn::test
