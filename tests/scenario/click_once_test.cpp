// Clicks of a hand's length (50 to 200 ms, across several polls) act once,
// where they were made; a released press never acts where the pointer goes next.
#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kHolds[] = {50, 100, 200};

}  // namespace

TEST(ClickOnce, BrowserClicksActOnceWhereTheyWereMade) {
    struct Case {
        const char* what;
        int bigSmall, x, y, bit;
        int cursorBefore;  // Down presses first
        int cursorAfter, sortAfter, startOnlyAfter;
    };
    const Case cases[] = {
        // Each reload puts the pointer at (320,240), over entry 12.
        {"Type header", 0, xOfColumn(41), yOfRow(4), 0, 0, 1, 2, 0},
        {"path line", 0, xOfColumn(40), yOfRow(3), 0, 3, 1, 1, 0},
        {"Background", 0, xOfColumn(38), yOfRow(25), 0, 3, 1, 1, 0},
        {"More", 0, xOfColumn(18), yOfRow(25), 0, 3, 1, 1, 0},
        {"Start Only box", 1, 530, 555, 0, 0, 1, 1, 1},
        {"Down button", 0, xOfColumn(55), yOfRow(29), 0, 3, 4, 1, 0},
        {"Down button, right", 0, xOfColumn(55), yOfRow(29), 1, 3, 4, 1, 0},
        {"Up button", 0, xOfColumn(50), yOfRow(29), 0, 3, 2, 1, 0},
    };
    for (const Case& c : cases)
        for (const int hold : kHolds) {
            Session s;
            s.dir.numberedFiles(30);
            s.settings(c.bigSmall, 0, s.dir.path, 1);
            s.script.wait(1000);
            for (int i = 1; i < c.cursorBefore; ++i) s.script.ext(scan::Down).wait(200);
            s.script.wait(300).click(c.x, c.y, c.bit, hold).wait(1500).then([&] {
                EXPECT_EQ(s.app.cursorIndex, c.cursorAfter) << c.what << ", held " << hold;
                EXPECT_EQ(s.app.SortList, c.sortAfter) << c.what << ", held " << hold;
                EXPECT_EQ(s.app.search.startOnly, c.startOnlyAfter) << c.what << ", held " << hold;
            });
            s.script.key(27);
            EXPECT_EQ(s.run(), 0);
        }
}

TEST(ClickOnce, AReleasedPressDoesNotActWhereThePointerGoesNext) {
    struct Case {
        const char* what;
        int bit, toX, toY;
    };
    // Right on the cursor row would open the entry; left on " X " would exit.
    for (const Case c : {Case{"right, then onto the cursor row", 1, xOfColumn(10), yOfRow(6)},
                         Case{"left, then onto the close box", 0, xOfColumn(79), yOfRow(1)}})
        for (const int hold : kHolds) {
            Session s;
            const TempDir& d = s.dir;
            d.file("notes.txt", "hello");
            bool stillRunning = false;
            s.browse().ext(scan::Down).wait(500);
            s.script.move(300, yOfRow(28)).down(c.bit).wait(hold).up(c.bit).wait(5).move(c.toX, c.toY).wait(1500).then([&] {
                stillRunning = true;
                EXPECT_EQ(s.app.selectedPath, d.path) << c.what;
                EXPECT_EQ(s.screen().visiblePage(), 0) << c.what;
            });
            EXPECT_EQ(s.quit(), 0);
            EXPECT_TRUE(stillRunning) << c.what << ", held " << hold;
            EXPECT_TRUE(s.runner.shellLines.empty()) << c.what;
        }
}

TEST(ClickOnce, ViewerButtonsPageOncePerClick) {
    for (const int bit : {0, 1})
        for (const int hold : kHolds) {
            Session s;
            s.dir.file("pages.bin", std::string(2240 * 10, 'k'));
            const auto pos = [&] {
                const std::string status = s.row(30).substr(1, 40);
                return status.substr(0, status.find("  "));
            };
            s.browse().ext(scan::Down).wait(300).key(ch::Enter).wait(1500);
            s.script.click(xOfColumn(55), yOfRow(30), bit, hold).wait(1000).then([&] { EXPECT_EQ(pos(), "Size 22400 Pos 4480") << hold; });
            s.script.click(xOfColumn(55), yOfRow(30), bit, hold).wait(1000).then([&] { EXPECT_EQ(pos(), "Size 22400 Pos 6720") << hold; });
            s.script.click(xOfColumn(50), yOfRow(30), bit, hold).wait(1000).then([&] { EXPECT_EQ(pos(), "Size 22400 Pos 4480") << hold; });
            s.script.key(27).wait(1000).key(27);
            EXPECT_EQ(s.run(), 0);
        }
}
