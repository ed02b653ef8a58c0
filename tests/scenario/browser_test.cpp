// The browser as a person uses it: keys, wheel and clicks on a headless
// Kestrel running on virtual time against temporary directories.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/main_loop.h"
#include "app/select.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A directory holding `files` files named f000, f001, ... (entries 2 onward
// in name order) and nothing else.
void fill(const TempDir& d, int files) {
    char name[16];
    for (int i = 0; i < files; ++i) {
        std::snprintf(name, sizeof name, "f%03d", i);
        d.file(name, "x");
    }
}

std::string fileName(int entry) {
    char name[16];
    std::snprintf(name, sizeof name, "f%03d", entry - 2);
    return name;
}

constexpr int kSettle = 400;  // enough virtual time for a command and its redraw

}  // namespace

TEST(Browser, FrameListAndCursorColours) {
    Session s;
    TempDir d;
    d.file("alpha.txt", "hello");
    d.dir("beta");
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).then([&] {
        EXPECT_EQ(s.app.selectedPath, d.path);
        EXPECT_EQ(s.screen().width(), 640);
        EXPECT_EQ(s.row(1).substr(27, 24), "Select Directory or File");
        EXPECT_EQ(s.cell(1, 2), (CellRead{'T', 7, 1}));
        EXPECT_EQ(s.cell(1, 79), (CellRead{'X', 15, 4}));
        EXPECT_EQ(s.listName(1), "..");
        EXPECT_EQ(s.cell(5, 2), (CellRead{'.', 5, 9}));  // the cursor row
        EXPECT_EQ(s.cell(6, 2), (CellRead{'a', 0, 2}));
        EXPECT_EQ(s.cell(4, 4), (CellRead{'N', 0, 3}));  // the sort-key header
        EXPECT_EQ(s.cell(4, 40), (CellRead{'T', 1, 2}));
        EXPECT_EQ(s.row(29).substr(2, 11), "Found 3 @ 1");
        EXPECT_EQ(s.cell(7, 80).ch, '=');  // thumb at the top for entry 1
        const int col = 40 - static_cast<int>(d.path.size()) / 2;
        EXPECT_NE(s.row(3).find(d.path), std::string::npos);
        EXPECT_LE(std::abs(findOnRow(s.screen(), 3, d.path) - col), 1);
    });
    s.script.ext(scan::Down).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 2);
        EXPECT_EQ(s.cell(5, 2), (CellRead{'.', 0, 2}));
        EXPECT_EQ(s.cell(6, 2), (CellRead{'a', 5, 9}));
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Browser, DownAcrossPagesEndAndLastRow) {
    Session s;
    TempDir d;
    fill(d, 99);  // 100 entries with ".."
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000);
    for (int i = 0; i < 17; ++i) s.script.ext(scan::Down).wait(150);
    s.script.wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 18);
        EXPECT_EQ(s.app.cursorRow, 18);
    });
    s.script.ext(scan::Down).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 19);
        EXPECT_EQ(s.app.cursorRow, 9);
        EXPECT_EQ(s.listName(1), fileName(11));
        EXPECT_EQ(s.listName(19), fileName(29));
        EXPECT_EQ(s.cell(13, 2), (CellRead{'f', 5, 9}));
    });
    s.script.ext(scan::End).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 100);
        EXPECT_EQ(s.app.cursorRow, 10);
        EXPECT_EQ(s.listName(1), fileName(91));
        EXPECT_EQ(s.listName(10), fileName(100));
        EXPECT_EQ(s.listName(11), "");
        EXPECT_EQ(s.row(29).substr(2, 15), "Found 100 @ 100");
        EXPECT_EQ(s.cell(21, 80).ch, '=');
    });
    s.script.ext(scan::Down).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 100); });
    s.script.ext(scan::Home).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 1);
        EXPECT_EQ(s.listName(1), "..");
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Browser, EndInShortListsAndTheLastPanelRow) {
    {
        Session s;
        TempDir d;
        fill(d, 8);  // 9 entries
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).ext(scan::End).wait(kSettle).then([&] {
            EXPECT_EQ(s.app.cursorIndex, 9);
            EXPECT_EQ(s.app.cursorRow, 9);
            EXPECT_EQ(s.listName(1), "..");
            EXPECT_EQ(s.cell(13, 2), (CellRead{'f', 5, 9}));
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
    }
    {
        // 20 entries: a click on panel row 19 and Down must still show the
        // last entry with the cursor on it.
        Session s;
        TempDir d;
        fill(d, 19);
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).click(100, 23 * 16 - 8).wait(kSettle).then([&] {
            EXPECT_EQ(s.app.cursorIndex, 19);
            EXPECT_EQ(s.app.cursorRow, 19);
        });
        s.script.move(700 - 400, 100).wait(100).ext(scan::Down).wait(kSettle).then([&] {
            EXPECT_EQ(s.app.cursorIndex, 20);
            EXPECT_EQ(s.app.cursorRow, 19);
            EXPECT_EQ(s.listName(19), fileName(20));
            EXPECT_EQ(s.cell(23, 2), (CellRead{'f', 5, 9}));
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
    }
}

TEST(Browser, EnteringDirectoriesAndGoingUp) {
    Session s;
    TempDir d;
    d.dir("a/b");
    s.settings(0, 0, d.path + "/a", 1);
    s.script.wait(1000).ext(scan::Down).wait(kSettle).key(ch::Enter).wait(1000).then([&] {
        EXPECT_EQ(s.app.selectedPath, d.path + "/a/b");
        EXPECT_EQ(s.app.list.count, 1);
        EXPECT_NE(s.row(3).find(d.path + "/a/b"), std::string::npos);
    });
    // Tab on ".." goes back up, then up again with the right button.
    s.script.key(ch::Tab).wait(1000).then([&] { EXPECT_EQ(s.app.selectedPath, d.path + "/a"); });
    s.script.click(100, 5 * 16 - 8, 1).wait(1000).then([&] { EXPECT_EQ(s.app.selectedPath, d.path); });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);

    EXPECT_EQ(selectedChildPath("/", "b", false), "/b");
    EXPECT_EQ(selectedChildPath("/home", "..", true), "/");
    EXPECT_EQ(selectedChildPath("/a", "b", false), "/a/b");
    EXPECT_EQ(selectedChildPath("/a/b c ", "..", true), "/a");
    EXPECT_EQ(selectedChildPath("/a", "trailing ", false), "/a/trailing ");
}

TEST(Browser, ParentOfRootAndPickCheckMessages) {
    Session s;
    s.settings(0, 0, "/", 1);
    s.script.wait(1000).key(ch::Enter).wait(300).then([&] {
        EXPECT_EQ(s.row(27).substr(1, 30), "No parent directories beyond /");
        EXPECT_EQ(s.cell(27, 2).fg, 4);
    });
    s.script.wait(2500).then([&] { EXPECT_EQ(s.row(27).substr(1, 30), std::string(30, ' ')); });
    s.script.key('k').wait(300).then([&] {
        EXPECT_EQ(s.row(27).substr(1, 25), "Pick a file or directory.");
        EXPECT_EQ(s.app.selectedPath, "/");
    });
    // A key cuts the message short.
    s.script.wait(200).key('z').wait(300).then([&] { EXPECT_EQ(s.row(27).substr(1, 25), std::string(25, ' ')); });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Browser, KillOnDirectoryIsIgnoredAndCloseRequestDoesNotEnd) {
    Session s;
    TempDir d;
    d.dir("sub");
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).ext(scan::Down).wait(kSettle).key('K').wait(300).then([&] {
        EXPECT_EQ(s.row(27).substr(1, 25), std::string(25, ' '));
        EXPECT_EQ(s.app.cursorIndex, 2);
        EXPECT_TRUE(std::filesystem::exists(d.path + "/sub"));
    });
    s.script.ext(scan::Close).wait(kSettle).ext(scan::PgUp).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 2);
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Browser, WheelMovesOneEntryPerCycle) {
    Session s;
    TempDir d;
    fill(d, 30);
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).move(300, 200).wait(200).then([&] {
        s.rig.input.wheelNotch(-1);
        s.rig.input.wheelNotch(-1);
        s.rig.input.wheelNotch(-1);
    });
    s.script.wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 2); });
    s.script.wheel(1).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 1); });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Browser, SliderScrollAreasAndButtons) {
    Session s;
    TempDir d;
    fill(d, 99);
    s.settings(0, 0, d.path, 1);
    // Left click on the slider, row 14: t = 100 * 8 / 15 = 53.3, cursor 54.
    s.script.wait(1000).click(636, 14 * 16 - 8).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 54);
        EXPECT_EQ(s.app.cursorRow, 9);
    });
    // The right button on the down arrow scrolls in both stages of the pass
    // (a tap acts twice); the "Up" button moves back once.
    s.script.move(636, 23 * 16 - 8).down(1).wait(5).up(1).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 56);
    });
    s.script.click(397, 29 * 16 - 8).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 55); });
    s.script.click(636, 7 * 16 - 8).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 1); });
    // The "Esc" button saves and exits.
    s.script.click(480, 29 * 16 - 8);
    EXPECT_EQ(s.run(), 0);
    EXPECT_NE(s.programDir.read("Kestrel.cfg").find(d.path), std::string::npos);
}

TEST(Browser, DraggingTheTopBarMovesTheWindow) {
    Session s;
    TempDir d;
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).then([&] {
        // The drag loop samples twice 10 ms apart; moves between the samples
        // move the window, and the pointer is put back each time.
        const Point start = s.rig.presenter.position;
        const std::int64_t t = s.rig.clock.nowMs();
        s.rig.input.pointerMoved(200, 8);
        s.rig.input.buttonDown(0);
        s.rig.clock.at(t + 5, [&] { s.rig.input.pointerMoved(230, 18); });
        s.rig.clock.at(t + 25, [&] { s.rig.input.pointerMoved(500, 28); });  // x jumps 300
        s.rig.clock.at(t + 45, [&] { s.rig.input.buttonUp(0); });
        dragWindow(s.app);
        const Point now = s.rig.presenter.position;
        EXPECT_EQ(now.x - start.x, 30);
        EXPECT_EQ(now.y - start.y, 30);
        EXPECT_EQ(s.app.placement, Placement::Dragged);
        EXPECT_EQ(s.app.draggedPosition, now);
    });
    s.script.wait(kSettle).key('@').wait(kSettle).then([&] {
        EXPECT_EQ(s.rig.presenter.position, s.app.startPosition);
        EXPECT_EQ(s.app.placement, Placement::Start);
    });
    // The pad's top-left square moves the window to (4, 4).
    s.script.click(613, 448).wait(kSettle).then([&] {
        EXPECT_EQ(s.rig.presenter.position, (Point{4, 4}));
        EXPECT_EQ(s.app.placement, Placement::TopLeft);
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Browser, RootRefreshAndTheCloseBox) {
    Session s;
    TempDir d;
    fill(d, 3);
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).ext(scan::Down).wait(kSettle).then([&] { d.file("f100", "new"); });
    // F3 reloads: the new entry shows and the cursor is back on "..".
    s.script.ext(scan::F3).wait(1000).then([&] {
        EXPECT_EQ(s.app.list.count, 5);
        EXPECT_EQ(s.app.cursorIndex, 1);
    });
    s.script.ext(scan::Down).wait(kSettle).then([&] { d.file("f101", "newer"); });
    s.script.click(300, 3 * 16 - 8).wait(1000).then([&] {
        EXPECT_EQ(s.app.list.count, 6);
        EXPECT_EQ(s.app.cursorIndex, 1);
    });
    s.script.key('h').wait(1000).then([&] { EXPECT_EQ(s.app.selectedPath, "/root"); });
    s.script.click(628, 8);  // " X "
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "0 BigSmall\n0 BackGround\n/root\n1 SortList\n");
}
