#pragma once
// The navigation buttons and the window-position pad, shared by the browser
// (row 29) and the file viewer (row 30, pad 10 pixels lower), and the
// double-line frame the browser and the disks screen share.
#include <string>

#include "screen/screen.h"

namespace kestrel {

struct NavButton {
    const char* label;
    int col;
    int x1, x2;
};

constexpr NavButton kNavButtons[] = {
    {"Up", 50, 388, 409}, {"Down", 54, 421, 457}, {"Esc", 60, 469, 497}, {"Home", 65, 509, 545}, {"End", 71, 557, 585},
};

// Boxes filled in colour 6 from y1 to y2 with the labels in 7 on 6 on `row`.
void drawNavButtons(Screen& s, int row, int y1, int y2);

// The five 8x8 squares, numbered as the window placements 0 to 4 (centre,
// top-left, top-right, bottom-left, bottom-right).
struct PadSquare {
    int placement;
    int x1, y1;
};

constexpr PadSquare kPadSquares[] = {
    {0, 618, 453}, {1, 610, 445}, {2, 626, 445}, {3, 610, 461}, {4, 626, 461},
};

// 78 double horizontal lines: the width inside the frame.
extern const std::string kDoubleLine;
// The frame of rows 2 to 30 with its dividers under row 3 and above row 25,
// in the current colours.
void drawDoubleFrame(Screen& s);

void drawPad(Screen& s, int background, int yOffset);
// The placement of the square whose inner 6x6 pixels hold (x, y), or -1.
int padSquareAt(int x, int y, int yOffset);

}  // namespace kestrel
