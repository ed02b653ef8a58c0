#include "screen/nav_widgets.h"

namespace kestrel {

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
