#include "viewers/viewer_paging.h"

#include <algorithm>
#include <string_view>

namespace kestrel {

namespace {

// A page of bell bytes would otherwise ring (and flush the display) once per
// byte, for minutes: a page drawn rings at most once.
void printByte(Pager& p, int byte) {
    if (byte == 7) {
        if (p.rangThisPage) return;
        p.rangThisPage = true;
    }
    const char c = static_cast<char>(byte);
    p.screen.print(std::string_view(&c, 1));
}

// Blank cells are all background: one fill gives the pixels that printing
// a row of spaces on every row would, without laying out a glyph per cell.
void clearRows(Pager& p, int lastRow) {
    Screen& s = p.screen;
    s.setColors(0, p.background);
    s.fillBox(0, 0, s.width() - 1, lastRow * kCellH - 1, p.background);
    s.locate(1, 1);
    p.rangThisPage = false;
}

// A file that shrank while shown may leave pos past its new end.
void clampToEnd(Pager& p) { p.pos = std::min(p.pos, p.source.size()); }

}  // namespace

void drawForward(Pager& p, int lastRow) {
    clearRows(p, lastRow);
    clampToEnd(p);
    Screen& s = p.screen;
    while (s.cursorRow() < kViewerEndRow && p.pos < p.source.size()) {
        const int byte = p.source.at(p.pos + 1);
        if (byte < 0) break;  // the file lost its tail: this is the end now
        ++p.pos;
        printByte(p, byte);
    }
}

void stepBackward(Pager& p) {
    Screen& s = p.screen;
    for (;;) {
        clampToEnd(p);
        if (p.pos <= 1) {
            firstPage(p);
            return;
        }
        clearRows(p, kViewerEndRow);
        while (s.cursorRow() < kViewerEndRow && p.pos > 0) {
            --p.pos;
            const int byte = p.source.at(p.pos);
            if (byte < 0) {
                clampToEnd(p);
            } else {
                printByte(p, byte);
            }
            if (p.pos <= 1) {
                firstPage(p);
                return;
            }
        }
        if (!p.stepBack) break;
        p.stepBack = false;
    }
    drawForward(p);
}

bool nextPage(Pager& p) {
    if (p.pos >= p.source.size()) return false;
    drawForward(p);
    return true;
}

void previousPage(Pager& p) {
    p.stepBack = true;
    stepBackward(p);
}

void firstPage(Pager& p) {
    p.pos = 0;
    drawForward(p);
}

bool lastPage(Pager& p) {
    if (p.pos >= p.source.size()) return false;
    p.pos = p.source.size();
    p.stepBack = false;
    stepBackward(p);
    return true;
}

}  // namespace kestrel
