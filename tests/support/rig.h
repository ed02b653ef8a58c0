#pragma once
// A headless screen on virtual time: everything a test needs to drive
// Kestrel's screens without a display.
#include "screen/screen.h"
#include "screen_reader.h"
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

}  // namespace kestrel::test
