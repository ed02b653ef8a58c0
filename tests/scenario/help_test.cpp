// The help page as a person uses it: opened with F1 or the Help button,
// closed with Esc, B, b or a press inside BACK, from a headless Kestrel.
#include <gtest/gtest.h>

#include <functional>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

bool helpShown(Session& s) { return s.screen().width() == 640 && s.row(2).substr(4, 23) == "Kestrel Ver. 1.1 - Help"; }

struct Closer {
    const char* name;
    std::function<void(Script&)> input;
    bool closes;
};

}  // namespace

TEST(Help, ClosesOnEscBAndPressesStrictlyInsideBack) {
    const Closer closers[] = {
        {"Esc", [](Script& sc) { sc.key(27); }, true},
        {"B", [](Script& sc) { sc.key('B'); }, true},
        {"b", [](Script& sc) { sc.key('b'); }, true},
        {"left inside", [](Script& sc) { sc.click(570, 443); }, true},
        {"right inside", [](Script& sc) { sc.click(627, 465, 1); }, true},
        {"outline x 569", [](Script& sc) { sc.click(569, 450); }, false},
        {"outline y 466", [](Script& sc) { sc.click(600, 466, 1); }, false},
        {"middle inside", [](Script& sc) { sc.click(600, 450, 2); }, false},
        {"other key", [](Script& sc) { sc.key('x'); }, false},
    };
    for (const auto& c : closers) {
        SCOPED_TRACE(c.name);
        Session s;
        TempDir d;
        s.settings(1, 2, d.path, 1);
        s.script.wait(1000).ext(scan::F1).wait(800).then([&] {
            // The normal view whatever the browser's view, on its background.
            ASSERT_TRUE(helpShown(s));
            EXPECT_EQ(s.cell(2, 5), (CellRead{'K', 1, 13}));
            EXPECT_EQ(s.row(8).substr(4, 69), "Clear the Copy/Kill Buffer before selecting files to be removed. The ");
            EXPECT_EQ(s.row(17).substr(4, 69), "Depending on how permissions are set, some features my be restricted.");
            EXPECT_EQ(s.cell(29, 74), (CellRead{'B', 1, 13}));
            EXPECT_EQ(s.screen().pixel(0, 569, 450), 0);
            EXPECT_EQ(s.screen().pixel(0, 2, 100), 1);
            EXPECT_EQ(s.screen().pixel(0, 1, 100), 3);
            EXPECT_EQ(s.screen().pixel(0, 639, 479), 3);
        });
        c.input(s.script);
        bool checked = false;
        s.script.wait(900).then([&] {
            checked = true;
            EXPECT_EQ(helpShown(s), !c.closes);
            if (c.closes) {
                // The browser set up again in its own view; the closing key
                // did not reach it.
                EXPECT_EQ(s.screen().width(), 800);
                EXPECT_EQ(s.row(1).substr(27, 24), "Select Directory or File");
            }
        });
        if (!c.closes) s.script.key(27).wait(900);
        s.script.key(27);
        const std::int64_t lastEsc = s.script.time();
        EXPECT_EQ(s.run(), 0);
        EXPECT_TRUE(checked);
        EXPECT_GE(s.rig.clock.nowMs(), lastEsc);
    }
}

TEST(Help, HelpButtonOpensThePageAndBrowserComesBack) {
    Session s;
    TempDir d;
    d.file("a.txt");
    s.settings(0, 0, d.path, 1);
    // The Help button: row 25, columns 71 to 78.
    s.script.wait(1000).ext(scan::Down).wait(300).click(588, 392).wait(800).then([&] {
        EXPECT_TRUE(helpShown(s));
        EXPECT_EQ(s.cell(5, 5), (CellRead{'U', 0, 2}));
    });
    s.script.key('b').wait(900).then([&] {
        EXPECT_EQ(s.listName(2), "a.txt");
        EXPECT_EQ(s.app.cursorIndex, 1);  // the browser was set up afresh
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}
