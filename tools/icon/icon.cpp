// Renders Kestrel's desktop icon from its own font and palette: a small
// browser window (title bar, the cursor on "..", two entries and the
// window-position pad) drawn by the headless screen, written as a PNG.
//   kestrel_icon OUT.png [SIZE]    SIZE a multiple of 64, 64 by default
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/app_state.h"
#include "frame/colours.h"
#include "screen/screen.h"
#include "../page_png.h"

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
    if (!writePagePng(screen, 0, kSide, kSide, size / kSide, argv[1])) {
        std::fprintf(stderr, "kestrel_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
