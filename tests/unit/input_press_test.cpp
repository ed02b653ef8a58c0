// A press of a hand's length acts once; a long hold repeats.
#include <gtest/gtest.h>

#include "screen/input.h"
#include "screen/press_repeat.h"

using namespace kestrel;

// How a poll reports a tap no poll saw held is pinned through the whole
// program by the click-once scenarios.
TEST(InputPress, AClickActsOnceAndALongHoldRepeats) {
    struct Case {
        int heldAtOpen;
        int holdMs;
        int acts;  // polls every 40 ms while held
    };
    for (const Case c : {Case{0, 50, 1}, {0, 120, 1}, {0, 200, 1}, {0, 400, 4}, {1, 200, 0}}) {
        PressRepeat press;
        MouseState open;
        open.valid = true;
        open.buttons = c.heldAtOpen;
        press.begin(open);
        int acts = 0;
        for (int t = 0; t < c.holdMs; t += 40) acts += press.acts(1, t);
        EXPECT_FALSE(press.acts(0, c.holdMs));
        EXPECT_EQ(acts, c.acts) << c.holdMs;
        EXPECT_TRUE(press.acts(1, c.holdMs + 40));  // the next click is new
    }
}
