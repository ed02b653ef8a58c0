#pragma once
// Writes a region of a screen page through its palette as an RGB PNG, each
// page pixel `scale` x `scale` pixels: the README pictures and the icon.
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "screen/screen.h"

namespace kestrel {

inline bool writePagePng(const Screen& s, int page, int width, int height, int scale, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    const auto w = static_cast<png_uint_32>(width * scale), h = static_cast<png_uint_32>(height * scale);
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> line(static_cast<std::size_t>(w) * 3);
    for (png_uint_32 y = 0; y < h; ++y) {
        for (png_uint_32 x = 0; x < w; ++x) {
            const Rgb c = s.palette()[s.pixel(page, static_cast<int>(x) / scale, static_cast<int>(y) / scale)];
            line[x * 3] = c.r;
            line[x * 3 + 1] = c.g;
            line[x * 3 + 2] = c.b;
        }
        png_write_row(png, line.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

}  // namespace kestrel
