// Renders Kestrel's desktop icon from its own font and palette: a small
// browser window (title bar, the cursor on "..", two entries and the
// window-position pad) drawn by the headless screen, written as a PNG.
//   kestrel_icon OUT.png [SIZE]    SIZE a multiple of 64, 64 by default
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "screen/screen.h"

using namespace kestrel;

namespace {

constexpr int kSide = 64;  // the icon is drawn at 64 x 64 window pixels

void drawIcon(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.fillBox(0, 0, kSide - 1, kSide - 1, bg);
    s.fillBox(0, 0, kSide - 1, 15, 7);
    s.setColors(1, 7);
    s.printAt(1, 1, " Kestrel");
    s.setColors(5, 9);
    s.printAt(2, 1, "..      ");
    s.setColors(15, bg);
    s.printAt(3, 1, "docs");
    s.printAt(4, 1, "a.txt");
    // The pad's five squares in the bottom-right corner, as on the browser.
    for (const auto& [x, y] : {std::pair{54, 54}, {50, 50}, {58, 50}, {50, 58}, {58, 58}})
        s.drawBox(x - 4, y - 4, x + 1, y + 1, 12);
    s.drawBox(0, 0, kSide - 1, kSide - 1, 1);
}

bool writePng(const Screen& s, int scale, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    const int side = kSide * scale;
    png_init_io(png, f);
    png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> line(static_cast<size_t>(side) * 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const Rgb c = s.palette()[s.pixel(0, x / scale, y / scale)];
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
    const int size = argc > 2 ? std::atoi(argv[2]) : kSide;
    if (argc < 2 || size < kSide || size % kSide != 0) {
        std::fprintf(stderr, "usage: kestrel_icon OUT.png [SIZE, a multiple of 64]\n");
        return 2;
    }
    RealClock clock;
    Input input;
    HeadlessPresenter presenter(&input);
    Screen screen(clock, input, presenter);
    App app(screen, ".");
    if (!screen.setMode(640, 480)) return 1;
    setPaletteAndColours(app);
    drawIcon(app);
    if (!writePng(screen, size / kSide, argv[1])) {
        std::fprintf(stderr, "kestrel_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
