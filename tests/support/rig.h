#pragma once
// A headless screen on virtual time, and the screen read back as a person sees it: each text
// cell decoded into its character and colours by matching the built-in font.
#include <string>

#include "screen/screen.h"
#include "virtual_clock.h"

namespace kestrel::test {

struct Rig {
    Input input;
    VirtualClock clock{input};
    HeadlessPresenter presenter{&input};
    Screen screen{clock, input, presenter};
    Script script{clock, input};

    explicit Rig(int width = 640, int height = 480) { screen.setMode(width, height); }
};

// The pixel at the centre of a text cell: cellOf maps it back to that cell.
constexpr int xOfColumn(int col) { return col * 8 - 4; }
constexpr int yOfRow(int row) { return row * 16 - 8; }

struct CellRead {
    int ch = ' ';
    int fg = -1;  // -1 when the cell is blank (one colour only) or unreadable
    int bg = -1;
    bool operator==(const CellRead&) const = default;
};

CellRead readCell(const Screen& s, int page, int row, int col);
// `len` cells of one row from `col`; unreadable cells read as '?'.
std::string readText(const Screen& s, int page, int row, int col, int len);
// A whole row of the visible page, trailing blanks kept.
inline std::string readRow(const Screen& s, int row) { return readText(s, s.visiblePage(), row, 1, s.cols()); }

}  // namespace kestrel::test
