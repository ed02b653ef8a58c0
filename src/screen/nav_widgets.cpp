#include "screen/nav_widgets.h"

namespace kestrel {

const std::string kDoubleLine(78, static_cast<char>(205));

void drawDoubleFrame(Screen& s) {
    for (int r : {2, 4, 24, 30}) s.printAt(r, 2, kDoubleLine);
    for (int r = 2; r <= 30; ++r) {
        s.printAt(r, 1, "\xBA");
        s.printAt(r, 80, "\xBA");
    }
    s.printAt(2, 1, "\xC9");
    s.printAt(2, 80, "\xBB");
    s.printAt(30, 1, "\xC8");
    s.printAt(30, 80, "\xBC");
    for (int r : {4, 24}) {
        s.printAt(r, 1, "\xCC");
        s.printAt(r, 80, "\xB9");
    }
}

void drawNavButtons(Screen& s, int row, int y1, int y2) {
    s.setColors(7, 6);
    for (const auto& b : kNavButtons) {
        s.fillBox(b.x1, y1, b.x2, y2, 6);
        s.locate(row, b.col);
        s.print(b.label);
    }
}

void drawPad(Screen& s, int background, int yOffset) {
    for (const auto& sq : kPadSquares) {
        const int y = sq.y1 + yOffset;
        s.fillBox(sq.x1, y, sq.x1 + 7, y + 7, background);
        s.drawBox(sq.x1, y, sq.x1 + 7, y + 7, 12);
    }
}

int padSquareAt(int x, int y, int yOffset) {
    for (const auto& sq : kPadSquares) {
        const int top = sq.y1 + yOffset;
        if (x > sq.x1 && x < sq.x1 + 7 && y > top && y < top + 7) return sq.placement;
    }
    return -1;
}

}  // namespace kestrel
