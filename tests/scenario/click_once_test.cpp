// Clicks of a hand's length (50 to 200 ms, across several polls) act once, where they were made;
// a released press never acts where the pointer goes next.
#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kHolds[] = {50, 100, 200};

}  // namespace

// Each reload puts the pointer at (320,240), over entry 12.
TEST(ClickOnce, BrowserClicksActOnceWhereTheyWereMade) {
    // what, expanded view, x, y, button, cursor before; then cursor, sort and Start Only after
    const std::tuple<const char*, int, int, int, int, int, std::array<int, 3>> cases[] = {
        {"Type header", 0, xOfColumn(41), yOfRow(4), 0, 0, {1, 2, 0}},
        {"path line, first column", 0, xOfColumn(2), yOfRow(3), 0, 3, {1, 1, 0}},
        {"Background, first column", 0, xOfColumn(32), yOfRow(25), 0, 3, {1, 1, 0}},
        {"More, last column", 0, xOfColumn(21), yOfRow(25), 0, 3, {1, 1, 0}},
        {"Start Only box", 1, 530, 555, 0, 0, {1, 1, 1}},
        {"Down button", 0, xOfColumn(55), yOfRow(29), 0, 3, {4, 1, 0}},
        {"Down button, right", 0, xOfColumn(55), yOfRow(29), 1, 3, {4, 1, 0}},
        {"Up button", 0, xOfColumn(50), yOfRow(29), 0, 3, {2, 1, 0}},
    };
    for (const auto& [what, bigSmall, x, y, bit, before, after] : cases)
        for (const int hold : kHolds) {
            SCOPED_TRACE(std::string(what) + ", held " + std::to_string(hold));
            Session s;
            s.dir.numberedFiles(30);
            s.settings(bigSmall, 0, s.dir.path, 1);
            s.script.wait(1000);
            for (int i = 1; i < before; ++i) s.script.ext(scan::Down).wait(200);
            s.script.wait(300).click(x, y, bit, hold).wait(1500).then([&] {
                EXPECT_EQ((std::array{s.app.cursorIndex, s.app.SortList, s.app.search.startOnly}), after);
            });
            EXPECT_EQ(s.quit(), 0);
        }
}

// Right on the cursor row would open the entry; left on " X " would exit.
TEST(ClickOnce, AReleasedPressDoesNotActWhereThePointerGoesNext) {
    for (const auto& [bit, toX, toY] : {std::array{1, xOfColumn(10), yOfRow(6)}, {0, xOfColumn(79), yOfRow(1)}})
        for (const int hold : kHolds) {
            SCOPED_TRACE(std::to_string(bit) + ", held " + std::to_string(hold));
            Session s;
            s.dir.file("notes.txt", "hello");
            bool stillRunning = false;
            s.browse().ext(scan::Down).wait(500);
            s.script.move(300, yOfRow(28)).down(bit).wait(hold).up(bit).wait(5).move(toX, toY).wait(1500).then([&] {
                stillRunning = true;
                EXPECT_EQ(std::pair(s.app.selectedPath, s.screen().visiblePage()), std::pair(s.dir.path, 0));
            });
            EXPECT_EQ(s.quit(), 0);
            EXPECT_TRUE(stillRunning && s.runner.shellLines.empty());
        }
}

TEST(ClickOnce, ViewerButtonsPageOncePerClick) {
    for (const int bit : {0, 1})
        for (const int hold : kHolds) {
            SCOPED_TRACE(std::to_string(bit) + ", held " + std::to_string(hold));
            Session s;
            s.dir.file("pages.bin", std::string(2240 * 10, 'k'));
            s.browse().ext(scan::Down).wait(300).key(ch::Enter).wait(1500);
            for (const auto& [col, pos] : {std::pair{55, "4480"}, {55, "6720"}, {50, "4480"}})
                s.script.click(xOfColumn(col), yOfRow(30), bit, hold).wait(1000).then([&, pos = pos] {
                    EXPECT_EQ(s.row(30).substr(1, 19), std::string("Size 22400 Pos ") + pos);
                });
            s.script.key(27).wait(1000);
            EXPECT_EQ(s.quit(), 0);
        }
}
