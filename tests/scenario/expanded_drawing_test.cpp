// The expanded view's outer frame is drawn as outlines, and the search
// field's blinking underscore shows after a full ten-character text too.
#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(ExpandedDrawing, OuterFrameBoxesAreOutlines) {
    Session s;
    TempDir d;
    s.settings(1, 0, d.path, 1);
    struct Case {
        int x, y, colour;  // -1: the background colour
    };
    s.script.wait(1000).then([&] {
        const int bg = s.app.backgroundColour;
        for (const Case c : {Case{793, 300, 1}, {796, 300, 1}, {794, 300, -1}, {795, 300, -1},  // right edge
                             {2, 530, 1}, {5, 530, 1}, {3, 530, -1},                            // left edge
                             {400, 593, 1}, {400, 594, 1}, {400, 595, -1}, {400, 596, 1}, {400, 597, 1},
                             {700, 2, 1}, {700, 3, 1}, {700, 4, -1}, {700, 5, -1}, {700, 6, 1}, {700, 7, 1}})
            EXPECT_EQ(s.screen().pixel(0, c.x, c.y), c.colour < 0 ? bg : c.colour) << c.x << "," << c.y;
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(ExpandedDrawing, SearchUnderscoreBlinksAfterTheText) {
    for (const std::string text : {"abcdefghi", "abcdefghij"}) {
        Session s;
        TempDir d;
        s.settings(1, 0, d.path, 1);
        const int col = 67 + 1 + static_cast<int>(text.size());
        int shown = 0;
        s.script.wait(1000).key('?').wait(100).keys(text.c_str());
        for (int t = 0; t < 1500; t += 10)
            s.script.wait(10).then([&] { shown += readCell(s.screen(), 0, 32, col).ch == '_'; });
        s.script.then([&] { EXPECT_EQ(readText(s.screen(), 0, 32, 67, 12), ">" + text + std::string(11 - text.size(), ' ')); });
        s.script.key(27).wait(2000).key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_GT(shown, 0) << text;
    }
}
