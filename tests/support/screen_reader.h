#pragma once
// Reads the screen back as a person would see it: each text cell decoded
// into its character and colours by matching the built-in font.
#include <string>

#include "screen/screen.h"

namespace kestrel::test {

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
std::string readRow(const Screen& s, int row);
// Where `text` starts on `row` of the visible page (column from 1), or 0.
int findOnRow(const Screen& s, int row, const std::string& text);

}  // namespace kestrel::test
