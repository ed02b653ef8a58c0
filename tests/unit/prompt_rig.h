#pragma once
// An App on a headless screen for driving one prompt directly: the test
// scripts input from the current virtual time and calls the prompt.
#include "app/app_state.h"
#include "rig.h"

namespace kestrel::test {

struct PromptRig {
    Rig rig;
    App app{rig.screen, ""};

    PromptRig() {
        app.backgroundColour = 2;
        rig.screen.setColors(0, 2);
        rig.screen.clearScreen();
        // A prompt that never answers fails the test instead of hanging it.
        rig.clock.limitMs = 120 * 1000;
    }
    // A script whose first step happens `delay` ms from now.
    Script next(std::int64_t delay = 30) { return Script(rig.clock, rig.input, rig.clock.nowMs() + delay); }
    Screen& screen() { return rig.screen; }
    CellRead cell(int row, int col) { return readCell(rig.screen, rig.screen.workPage(), row, col); }
    std::string text(int row, int col, int len) { return readText(rig.screen, rig.screen.workPage(), row, col, len); }
};

}  // namespace kestrel::test
