// JPEG pictures made by the tests themselves, with libjpeg, and the plain
// whole-picture decode that the panel's pictures are checked against.
#pragma once

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>  // after <cstdio>: it uses FILE and size_t

#include "catalogue/jpeg_reader.h"

namespace qn::test {

// How a test picture is stored.
enum class JpegKind { Baseline, Progressive, Cmyk };

// How its colour is sampled: chroma halved both ways (libjpeg's default),
// halved across only, kept whole, or no colour at all.
enum class JpegColour { Halved, HalvedAcross, Whole, Grey };

// A compressor writing into memory; finish() gives the file.
struct MemoryCompressor {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    MemoryCompressor() {
        info.err = jpeg_std_error(&err);
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
    }
    std::string finish() {
        jpeg_finish_compress(&info);
        std::string out(reinterpret_cast<char*>(buffer), size);
        jpeg_destroy_compress(&info);
        free(buffer);
        return out;
    }
};

// A JPEG of `pixels`: rows of red-green-blue (or grey with JpegColour::Grey),
// top row first.
inline std::string encodePixels(int width, int height, const std::vector<std::uint8_t>& pixels,
                                JpegColour colour = JpegColour::Halved,
                                JpegKind kind = JpegKind::Baseline, int quality = 100) {
    MemoryCompressor jpeg;
    jpeg_compress_struct& info = jpeg.info;
    info.image_width = width;
    info.image_height = height;
    const bool cmyk = kind == JpegKind::Cmyk, grey = colour == JpegColour::Grey;
    const int components = cmyk ? 4 : grey ? 1 : 3;
    info.input_components = components;
    info.in_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (!cmyk && !grey && colour != JpegColour::Halved) {
        info.comp_info[0].h_samp_factor = colour == JpegColour::Whole ? 1 : 2;
        info.comp_info[0].v_samp_factor = 1;
    }
    if (kind == JpegKind::Progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const int given = grey ? 1 : 3;
    std::vector<unsigned char> row(static_cast<size_t>(width) * components);  // CMYK: K stays 0
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* in = &pixels[static_cast<size_t>(info.next_scanline) * width * given];
        JSAMPROW r = const_cast<std::uint8_t*>(in);
        if (components != given) {
            for (int x = 0; x < width; ++x)
                std::copy_n(in + x * given, given, &row[x * components]);
            r = row.data();
        }
        jpeg_write_scanlines(&info, &r, 1);
    }
    return jpeg.finish();
}

// A JPEG whose red channel ramps from 0 at the left to 255 at the right and
// whose green and blue are fixed.
inline std::string encodeJpeg(int width, int height, std::uint8_t green, std::uint8_t blue,
                              JpegKind kind = JpegKind::Baseline) {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(width > 1 ? x * 255 / (width - 1) : 0);
            p[1] = green;
            p[2] = blue;
        }
    return encodePixels(width, height, pixels, JpegColour::Halved, kind);
}

// Red-green-blue pixels that change in both directions, smoothly and at hard
// edges, with colour that differs from its neighbours: every kind of chroma
// upsampling has something to smooth. Grey pictures take the first channel.
inline std::vector<std::uint8_t> texturedPixels(int width, int height, int channels = 3) {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * channels);
    std::uint8_t* out = pixels.data();
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, out += channels) {
            noise = noise * 1103515245u + 12345u;
            out[0] = static_cast<std::uint8_t>((x * 3 + y * 5) & 255);
            if (channels < 3) continue;
            out[1] = ((x / 7) ^ (y / 5)) & 1 ? 220 : 30;
            out[2] = static_cast<std::uint8_t>(((noise >> 24) & 127) | ((x + y) & 16 ? 128 : 0));
        }
    return pixels;
}

// A progressive grey 8 by 8 JPEG stored in `scans` scans (2 to 694): the DC
// in one, then each AC coefficient alone, sent a bit at a time.
inline std::string encodeManyScans(int scans) {
    std::vector<jpeg_scan_info> script;
    script.push_back({1, {0}, 0, 0, 0, 0});
    const int bands = 63, levels = scans - 1;
    for (int band = 1; band <= bands; ++band) {
        const int mine = levels / bands + (band <= levels % bands ? 1 : 0);
        for (int bit = mine - 1; bit >= 0; --bit)
            script.push_back({1, {0}, band, band, bit == mine - 1 ? 0 : bit + 1, bit});
    }
    MemoryCompressor jpeg;
    jpeg_compress_struct& info = jpeg.info;
    info.image_width = info.image_height = 8;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    info.scan_info = script.data();
    info.num_scans = static_cast<int>(script.size());
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> pixels = texturedPixels(8, 8, 1);
    for (int y = 0; y < 8; ++y) {
        JSAMPROW r = &pixels[y * 8];
        jpeg_write_scanlines(&info, &r, 1);
    }
    return jpeg.finish();
}

// Decodes the picture whose header `info` has read into `out`, whole, in
// 24-bit blue-green-red rows.
inline void decodeAllRows(jpeg_decompress_struct& info, Pixmap& out) {
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.pixels.resize(static_cast<size_t>(out.width) * out.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &out.pixels[static_cast<size_t>(info.output_scanline) * out.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
}

// The whole picture decoded at once, in 24-bit blue-green-red rows, or
// nothing when libjpeg refuses it.
struct WholeDecode {
    jpeg_decompress_struct info{};
    struct : jpeg_error_mgr {
        std::jmp_buf jump;
    } err;
    Pixmap out;

    // Nothing with a destructor lives in this frame, so the error jump skips nothing.
    bool run(const std::string& data) {
        info.err = jpeg_std_error(&err);
        err.error_exit = [](j_common_ptr c) {
            std::longjmp(static_cast<decltype(err)*>(c->err)->jump, 1);
        };
        err.emit_message = [](j_common_ptr, int) {};
        if (setjmp(err.jump)) return false;
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), data.size());
        jpeg_read_header(&info, TRUE);
        decodeAllRows(info, out);
        jpeg_finish_decompress(&info);
        return true;
    }
    ~WholeDecode() { jpeg_destroy_decompress(&info); }
};

inline std::optional<Pixmap> decodeWhole(const std::string& data) {
    auto d = std::make_unique<WholeDecode>();
    if (!d->run(data)) return std::nullopt;
    return std::move(d->out);
}

// A surface filled with one colour (given as red, green, blue) with the whole
// picture copied on it centred and cut: the panel as it is meant to look.
inline Pixmap centredOn(const Pixmap& picture, int width, int height,
                            std::array<std::uint8_t, 3> rgb = {0, 0, 0}) {
    Pixmap s;
    s.width = width;
    s.height = height;
    s.pixels.resize(static_cast<size_t>(width) * height * 3);
    std::uint8_t* out = s.pixels.data();
    for (int i = 0; i < width * height; ++i, out += 3)
        out[0] = rgb[2], out[1] = rgb[1], out[2] = rgb[0];
    const int left = (width - picture.width) / 2, top = (height - picture.height) / 2;
    const int x0 = std::max(0, left), x1 = std::min(width, left + picture.width);
    for (int y = std::max(0, top); y < std::min(height, top + picture.height); ++y)
        std::copy_n(&picture.pixels[(static_cast<size_t>(y - top) * picture.width + x0 - left) * 3],
                    (x1 - x0) * 3, &s.pixels[(static_cast<size_t>(y) * width + x0) * 3]);
    return s;
}

}  // namespace qn::test
