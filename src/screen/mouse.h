#pragma once
#include "screen/cell.h"

namespace kestrel {

// The result of a mouse poll. Not valid (and all -1) while the pointer is
// outside the window.
struct MouseState {
    int x = -1, y = -1;
    int wheel = -1;    // +1 per notch away from the user, never reset
    int buttons = -1;  // bit 0 left, bit 1 right, bit 2 middle
    bool valid = false;

    bool left() const { return valid && (buttons & 1); }
    bool right() const { return valid && (buttons & 2); }
    Cell cell() const { return cellOf(x, y); }
};

}  // namespace kestrel
