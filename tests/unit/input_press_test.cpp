// What a mouse poll reports for presses of a hand's length: the buttons as
// they are now, and a tap that no poll saw held reported once, where it was.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "screen/input.h"
#include "screen/press_repeat.h"

using namespace kestrel;

namespace {

// m: move to (x, y); d/u: left button down/up; p: poll, expecting `buttons` at (x, y).
struct Step {
    char op;
    int x = 0, y = 0, buttons = 0;
};

struct PressCase {
    const char* name;
    std::vector<Step> steps;
};

}  // namespace

TEST(InputPress, PollsReportAPressAsItIsNow) {
    const std::vector<PressCase> cases = {
        {"held across several polls",
         {{'m', 10, 20}, {'d'}, {'p', 10, 20, 1}, {'p', 10, 20, 1}, {'p', 10, 20, 1}, {'p', 10, 20, 1}, {'u'},
          {'p', 10, 20, 0}, {'p', 10, 20, 0}}},
        {"moved after release", {{'m', 10, 20}, {'d'}, {'p', 10, 20, 1}, {'u'}, {'m', 320, 240}, {'p', 320, 240, 0}}},
        {"moved while held", {{'m', 10, 20}, {'d'}, {'p', 10, 20, 1}, {'m', 50, 60}, {'p', 50, 60, 1}, {'u'}, {'p', 50, 60, 0}}},
        {"a tap no poll saw", {{'m', 10, 20}, {'d'}, {'u'}, {'m', 320, 240}, {'p', 10, 20, 1}, {'p', 320, 240, 0}}},
        {"two taps, each seen once",
         {{'m', 10, 20}, {'d'}, {'u'}, {'p', 10, 20, 1}, {'m', 30, 40}, {'d'}, {'u'}, {'p', 30, 40, 1}, {'p', 30, 40, 0}}},
    };
    for (const PressCase& c : cases) {
        Input in;
        int poll = 0;
        for (const Step& s : c.steps) {
            if (s.op == 'm') in.pointerMoved(s.x, s.y);
            if (s.op == 'd') in.buttonDown(0);
            if (s.op == 'u') in.buttonUp(0);
            if (s.op != 'p') continue;
            const MouseState m = in.pollMouse();
            EXPECT_EQ(std::tuple(m.buttons, m.x, m.y), std::tuple(s.buttons, s.x, s.y)) << c.name << ", poll " << ++poll;
        }
    }
}

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
