#pragma once
// The expanded view's 37 rows of 100 characters, each character and colour
// pair moved on by the frame number, so every cell changes from one frame to
// the next: the text half of the drawing benchmarks' full redraw.
#include <string>

#include "screen/screen.h"

namespace kestrel::bench {

inline void printFrameRows(Screen& s, int frame) {
    std::string line(100, ' ');
    for (int row = 1; row <= 37; ++row) {
        for (int c = 0; c < 100; ++c) line[static_cast<size_t>(c)] = static_cast<char>(' ' + (row * 7 + c + frame) % 95);
        s.setColors((row + frame) % 16, (row + frame + 5) % 16);
        s.locate(row, 1);
        s.print(line);
    }
}

}  // namespace kestrel::bench
