#pragma once
// The calculator panel's own screen state, kept in App between entries.
#include <array>
#include <ctime>
#include <string>

namespace kestrel::calc {

struct CalcPanel {
    bool active = false;  // has the focus: display frame 14, else 2
    // A press whose wait for release Esc cut short: it has acted, and is not
    // taken again while it is held.
    bool pressSpent = false;
    // What the idle passes last drew, so a pass that would draw the same
    // pixels again draws nothing and the window is not sent an unchanged
    // image sixteen times a second. Forgotten at every entry.
    std::array<std::string, 6> shownLines;
    std::time_t clockShown = -1;
};

}  // namespace kestrel::calc
