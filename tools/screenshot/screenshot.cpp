// Renders Kestrel's browser headless on a small demo directory and writes
// the page as a PNG: the README's screenshot.
//   kestrel_screenshot OUT.png [normal|expanded]
#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// Writes a page through the palette as a PNG file; false on failure.
bool writePng(const Screen& s, int page, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width()), static_cast<png_uint_32>(s.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> line(static_cast<size_t>(s.width()) * 3);
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            const Rgb c = s.palette()[s.pixel(page, x, y)];
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrel_screenshot OUT.png [normal|expanded]\n");
        return 2;
    }
    // Kestrel moves its working directory to the listed one.
    const std::string out = std::filesystem::absolute(argv[1]).string();
    const bool expanded = argc < 3 || std::string(argv[2]) != "normal";
    TempDir demo;
    demo.file("projects/kestrel/README.md", "");
    demo.dir("music");
    demo.dir("photos");
    demo.file("budget-2026.ods", std::string(18433, 'x'));
    demo.file("holiday.mp4", std::string(734003, 'x'));
    demo.file("letter.txt", "Dear Ann,\n");
    demo.file("notes.md", std::string(2211, 'x'));
    demo.file("report.pdf", std::string(96580, 'x'));
    demo.file("setup.sh", "#!/bin/sh\n");
    const timespec when[2] = {{1767225600, 0}, {1767225600, 0}};
    utimensat(AT_FDCWD, (demo.path + "/letter.txt").c_str(), when, 0);

    Session s;
    s.settings(expanded ? 1 : 0, 0, demo.path, 1);
    s.script.wait(1500).ext(scan::Down).wait(300).ext(scan::Down).wait(300).ext(scan::Down).wait(300);
    bool written = false;
    s.script.then([&] { written = writePng(s.screen(), 0, out); }).key(27);
    s.run();
    return written ? 0 : 1;
}
