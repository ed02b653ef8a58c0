// The browser as a person uses it: keys, wheel and clicks on temporary directories; sorting and the search mode.
#include <gtest/gtest.h>

#include "frame/window_drag.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kSettle = 400;  // enough virtual time for a command and its redraw

// Entry `entry` of a directory of numberedFiles: f000 is entry 2.
std::string fileName(int entry) { return "f" + std::string(entry < 12 ? "00" : entry < 102 ? "0" : "") + std::to_string(entry - 2); }
Script& keysApart(Session& s, int scanCode, int n) {
    for (int i = 0; i < n; ++i) s.script.ext(scanCode).wait(150);
    return s.script.wait(kSettle);
}
std::pair<int, int> at(Session& s) { return {s.app.cursorIndex, s.app.cursorRow}; }


}  // namespace

// Dragging the top bar and the pad move the window; into a directory and back by Tab and the right button; a refresh
// by F3 or the path line; "/" has no parent; the close box saves and exits.
TEST(Browser, DragPadColoursDirectoriesRefreshRootAndTheCloseBox) {
    Session s;
    s.dir.file("alpha.txt", "hello");
    const std::string name = std::string(70, 'b') + " ";  // a name may end in a blank: it is never trimmed
    s.dir.dir(name + "/b");
    const std::string beta = s.dir.path + "/" + name;
    const auto message = [&](size_t n) { return s.row(27).substr(1, n); };
    // Moves between the drag loop's samples move the window; only the top bar's columns 14 to 69 drag.
    const auto drag = [&](int x) {
        const Point start = s.rig.presenter.position;
        const std::int64_t t = s.rig.clock.nowMs();
        s.rig.input.pointerMoved(x, 8);
        s.rig.input.buttonDown(0);
        s.rig.clock.at(t + 5, [&] { s.rig.input.pointerMoved(x + 30, 18); });
        s.rig.clock.at(t + 25, [&] { s.rig.input.pointerMoved(x + 330, 28); });  // x jumps 300
        s.rig.clock.at(t + 45, [&] { s.rig.input.buttonUp(0); });
        dragWindow(s.app);
        return Point{s.rig.presenter.position.x - start.x, s.rig.presenter.position.y - start.y};
    };
    const auto placed = [&] { return std::pair(s.rig.presenter.position, s.app.placement); };
    s.browse().then([&] {
        for (const int col : {13, 70, 14, 69}) EXPECT_EQ(drag(xOfColumn(col)), (col == 14 || col == 69 ? Point{30, 30} : Point{0, 0})) << col;
        EXPECT_EQ(placed(), std::pair(s.app.draggedPosition, Placement::Dragged));
    });
    // '@' puts the window back; the pad's top-left square (inner pixels 611-616, 446-451) moves it to (4, 4), its outline does not.
    s.script.wait(kSettle).key('@').wait(kSettle);
    for (const auto& [x, y] : {std::pair{610, 448}, {617, 448}, {613, 445}, {613, 452}}) s.script.click(x, y).wait(kSettle);
    s.script.then([&] { EXPECT_EQ(placed(), std::pair(s.app.startPosition, Placement::Start)); });
    s.script.click(616, 451).wait(kSettle).then([&] {
        EXPECT_EQ(placed(), std::pair(Point{4, 4}, Placement::TopLeft));
        EXPECT_EQ(s.row(1).substr(27, 24) + "|" + s.listName(1) + "|" + s.row(29).substr(2, 11), "Select Directory or File|..|Found 3 @ 1");
    });
    s.script.ext(scan::Down).wait(kSettle).then([&] { EXPECT_EQ(std::pair(s.cell(5, 2), s.cell(6, 2)), std::pair(CellRead{'.', 0, 2}, CellRead{'a', 5, 9})); });
    // A press in column 1 of the first panel row moves the cursor there.
    s.script.click(4, yOfRow(5)).wait(kSettle).then([&] { EXPECT_EQ(s.cell(5, 2), (CellRead{'.', 5, 9})); });
    // K on a directory does nothing; a close request from the window manager is ignored.
    keysApart(s, scan::Down, 2).key('K').wait(300).then([&] { EXPECT_EQ(s.row(27).substr(1, 25), std::string(25, ' ')); });
    s.script.ext(scan::Close).wait(kSettle).ext(scan::PgUp).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 3); });
    s.script.key(ch::Enter).wait(1000).ext(scan::Down).wait(kSettle).key(ch::Enter).wait(1000).then([&] {
        // A path line over 77 cells starts in column 1, cut to 77.
        EXPECT_EQ(std::tuple(s.app.selectedPath, s.app.list.count, s.row(3).substr(0, 78)), std::tuple(beta + "/b", 1, (beta + "/b").substr(0, 77) + " "));
    });
    s.script.key(ch::Tab).wait(1000).then([&] { EXPECT_EQ(s.app.selectedPath, beta); });
    s.script.click(100, yOfRow(5), 1).wait(1000).then([&] {
        EXPECT_EQ(s.app.selectedPath, s.dir.path);
        s.dir.file("f100", "new");
    });
    s.script.ext(scan::F3).wait(1000).then([&] { EXPECT_EQ(std::pair(s.app.list.count, s.app.cursorIndex), std::pair(4, 1)); });
    s.script.ext(scan::Down).wait(kSettle).then([&] { s.dir.file("f101", "newer"); });
    s.script.click(300, yOfRow(3)).wait(1000).then([&] { EXPECT_EQ(std::pair(s.app.list.count, s.app.cursorIndex), std::pair(5, 1)); });
    s.script.key('h').wait(1000).key(ch::Enter).wait(1000).then([&] { EXPECT_EQ(s.app.selectedPath, "/"); });
    s.script.key(ch::Enter).wait(300).then([&] {
        EXPECT_EQ(std::pair(message(30), s.cell(27, 2).fg), std::pair(std::string("No parent directories beyond /"), 4));
    });
    s.script.wait(2500).then([&] { EXPECT_EQ(message(30), std::string(30, ' ')); });
    s.script.key('k').wait(300).then([&] { EXPECT_EQ(message(25) + s.app.selectedPath, "Pick a file or directory./"); });
    s.script.click(628, 8);  // " X "
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "0 BigSmall\n0 BackGround\n/\n1 SortList\n");
    EXPECT_TRUE(std::filesystem::exists(beta));
}

// 100 entries: the cursor, the page, Found and the thumb while moving; then the wheel and key bursts.
TEST(Browser, DownAcrossPagesEndLastRowSliderButtonsWheelAndKeyBursts) {
    Session s;
    s.dir.numberedFiles(99);
    s.runner.onShell = [&](const std::string&) { return s.rig.clock.sleepMs(4000), 0; };
    s.browse();
    keysApart(s, scan::Down, 17).then([&] { EXPECT_EQ(s.app.cursorRow, 18); });
    s.script.ext(scan::Down).wait(kSettle).then([&] {
        EXPECT_EQ(at(s), std::pair(19, 9));
        EXPECT_EQ(s.listName(1) + "|" + s.listName(19), fileName(11) + "|" + fileName(29));
        EXPECT_EQ(s.cell(13, 2), (CellRead{'f', 5, 9}));
    });
    s.script.ext(scan::End).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorRow, 10);
        EXPECT_EQ(s.listName(1) + "|" + s.listName(10) + "|" + s.listName(11) + s.row(29).substr(2, 15) + char(s.cell(21, 80).ch),
                  fileName(91) + "|" + fileName(100) + "|Found 100 @ 100=");
    });
    // Neither the Down key, the "Down" button, the right button on the down arrow nor the wheel moves past the last entry.
    s.script.ext(scan::Down).wait(kSettle).click(440, yOfRow(29)).wait(kSettle).instantTap(636, yOfRow(23), 1).wait(kSettle);
    s.script.wheel(-1).wait(kSettle).then([&] { EXPECT_EQ(at(s), std::pair(100, 10)); });
    // Up from panel row 2 pages back around the cursor.
    keysApart(s, scan::Up, 9).then([&] { EXPECT_EQ(std::tuple(s.app.cursorIndex, s.app.cursorRow, s.listName(1)), std::tuple(91, 9, fileName(83))); });
    s.script.ext(scan::Home).wait(kSettle).then([&] { EXPECT_EQ(s.listName(1) + char(s.cell(7, 80).ch), "..="); });
    // Left click on the slider, row 14: t = 100 * 8 / 15 = 53.3, cursor 54, the thumb back on row 14 (15 * .54 = 8.1).
    s.script.click(636, yOfRow(14)).wait(kSettle).then([&] { EXPECT_EQ(std::pair(at(s), char(s.cell(14, 80).ch)), std::pair(std::pair(54, 9), '=')); });
    // The right button on an arrow scrolls in both stages of a pass, so even a tap acts twice; "Up" moves back once.
    const std::tuple<int, int, int, int> presses[] = {{636, 23, 1, 56}, {397, 29, 0, 55}, {636, 6, 1, 53}, {636, 5, 1, 51}, {636, 7, 0, 1}};
    for (const auto& [x, row, bit, cursor] : presses) {
        (bit ? s.script.instantTap(x, yOfRow(row), 1) : s.script.click(x, yOfRow(row))).wait(kSettle);
        s.script.then([&, cursor = cursor] { EXPECT_EQ(s.app.cursorIndex, cursor); });
    }
    // One entry per pass however far the wheel turned (three notches over 50 ms span two passes). Keys typed while
    // the buffer's editor runs, Esc included, are dropped. A burst of 1000 Down keys keeps 32: the next Esc ends Kestrel.
    s.script.move(300, 200).wait(200).wheel(-3).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 3); });
    s.script.wheel(-5, 0).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 4); });
    s.script.wheel(1).wait(kSettle).wheel(1).wait(kSettle).key('V').wait(200);
    for (int i = 0; i < 40; ++i) s.script.ext(scan::Down).wait(60);
    s.script.key(27).wait(2000).then([&] { EXPECT_EQ(s.app.cursorIndex, 2); });
    for (int i = 0; i < 1000; ++i) (i % 5 ? s.script : s.script.wait(12)).ext(scan::Down);
    const std::int64_t escAt = s.script.wait(60).time();
    EXPECT_EQ(s.quit(), 0);
    EXPECT_LT(s.rig.clock.nowMs() - escAt, 5000);
    Input in;
    for (int i = 0; i < 1000; ++i) in.pushKey(Key::character(static_cast<std::uint8_t>('a' + i % 26)));
    std::string kept;
    for (Key k = in.pollKey(); !k.empty(); k = in.pollKey()) kept += static_cast<char>(k.code);
    EXPECT_EQ(kept, "ghijklmnopqrstuvwxyzabcdefghijkl");  // the newest, in order
}

// 9 entries: a press on the last, one below it, then End, stay on the first page; 20: a click on row 19 and Down show the last.
TEST(Browser, EndInShortListsAndTheLastPanelRow) {
    for (const auto& [files, row, endRow] : {std::array{8, 13, 9}, {19, 23, 19}}) {
        Session s;
        s.dir.numberedFiles(files);
        s.browse().click(100, yOfRow(row)).wait(kSettle);
        if (files == 8) s.script.click(100, yOfRow(row + 1)).wait(kSettle);  // below the last entry: nothing
        s.script.then([&] { EXPECT_EQ(s.app.cursorIndex, row - 4); });
        s.script.move(300, 100).ext(files == 8 ? scan::Home : scan::Down).wait(kSettle);
        if (files == 8) s.script.ext(scan::End).wait(kSettle);
        s.script.then([&] {
            EXPECT_EQ(std::tuple(s.app.cursorRow, s.listName(1), s.listName(endRow), s.cell(endRow + 4, 2)),
                      std::tuple(endRow, files == 8 ? ".." : fileName(2), fileName(files + 1), CellRead{'f', 5, 9}));
        });
        s.script.click(480, yOfRow(29));  // the "Esc" button ends Kestrel
        EXPECT_EQ(s.run(), 0);
    }
}


// ">" opens the drive prompt; Esc or " X " leave it, reloading. The search mode; the sort keys and headers.
TEST(Browser, DrivePromptSearchAndSorting) {
    Session s;
    for (const char* n : {"apple", "Banana", "cherry_apple", "grape"}) s.dir.file(n, n);
    s.dir.file(std::string(40, 'x') + "needle", "");
    const auto enter = [&]() -> Script& { return s.script.key(ch::Enter).wait(kSettle); };
    const auto status = [&] { return s.row(29).substr(1, 9); };
    s.browse().move(300, 200).key('>').wait(300).then([&] { s.dir.file("second.txt"); });  // shown once the listing is read again
    // Other keys do nothing (H would go to /root, N sort), nor do presses beside the close box.
    s.script.keys("HN?").click(xOfColumn(71), 8).wait(300).click(xOfColumn(75), 24).wait(300).click(300, 200, 1);
    s.script.wait(300).then([&] { EXPECT_EQ(status().substr(0, 8) + "|" + s.listName(6), " Drive >|" + std::string(37, 'x')); });
    s.script.key(27).wait(800).then([&] { EXPECT_EQ(s.app.selectedPath + "|" + s.listName(6) + status(), s.dir.path + "|second.txt Found 7 "); });
    s.script.key('>').wait(300).then([&] {
        EXPECT_EQ(status().substr(0, 8), " Drive >");
        s.dir.file("third.txt");
    });
    s.script.click(xOfColumn(79), 8).wait(600).move(300, 200).wait(400).then([&] { EXPECT_EQ(s.listName(7) + status(), "third.txt Found 8 "); });
    s.script.key('?').wait(100).keys("aPp");
    enter().then([&] {
        EXPECT_EQ(std::tuple(s.app.search.active, s.app.search.text, s.app.cursorRow, s.listName(1), s.cell(5, 2), s.row(27).substr(1, 11)),
                  std::tuple(true, "aPp", 1, "apple", CellRead{'a', 5, 9}, "Search >aPp"));
    });
    enter().then([&] { EXPECT_EQ(std::tuple(s.listName(1), s.app.cursorIndex), std::tuple(std::string("cherry_apple"), 4)); });
    // No further match: the mode ends and the cursor stays.
    enter().then([&] { EXPECT_EQ(std::tuple(s.app.search.active, s.app.search.position, s.app.cursorIndex), std::tuple(false, 1, 4)); });
    // Keys typed during the settle are dropped.
    s.script.key('x').wait(2000).then([&] { EXPECT_FALSE(s.rig.input.keyWaiting()); });
    // The next Next starts at row 2 again; only the 37-character name column is searched.
    s.script.key('?').wait(100);
    enter().then([&] { EXPECT_EQ(s.app.cursorIndex, 2); });
    s.script.keys("\b\b\bneedle");
    enter().then([&] { EXPECT_EQ(std::tuple(s.app.search.active, s.app.cursorIndex), std::tuple(false, 2)); });
    // Only name characters, at most ten; a fresh run's "." matches the parent row on the first Enter.
    s.script.wait(2000).key('?').wait(100).keys("\b\b\b\b\b\ba b?c,(d)").then([&] { EXPECT_EQ(s.app.search.text, "abcd"); });
    s.script.keys("efghijklm").then([&] { EXPECT_EQ(s.app.search.text, "abcdefghij"); });
    s.script.key(ch::Backspace).ext(scan::Left).wait(300).then([&] { EXPECT_EQ(s.app.search.text, "abcdefgh"); });
    s.script.key(27).wait(2000).then([&] { s.app.search = SearchState{}; });
    s.script.key('?').wait(100).keys(".");
    enter().then([&] { EXPECT_EQ(std::tuple(s.app.search.active, s.app.cursorIndex), std::tuple(true, 1)); });
    // In the expanded view, Start Only toggled outside the search mode; with it, "cherry_apple" does not match.
    const auto pixel = [&](int x, int y) { return s.screen().pixel(0, x, y); };
    s.script.key(27).wait(2000).key('m').wait(1200).click(530, 555).wait(700).then([&] {
        EXPECT_EQ(std::tuple(s.app.search.startOnly, pixel(530, 555)), std::tuple(1, 1));
    });
    // The field frame while searching.
    s.script.click(570, 503).wait(200).then([&] { EXPECT_EQ(std::tuple(s.app.search.active, pixel(520, 500)), std::tuple(true, 14)); });
    s.script.keys("\bapp").click(540, 528).wait(kSettle).then([&] {
        EXPECT_EQ(std::tuple(readText(s.screen(), 0, 32, 67, 4), s.app.cursorIndex), std::tuple(">app", 2));
    });
    s.script.click(600, 528).wait(kSettle).then([&] {
        EXPECT_EQ(std::tuple(s.app.search.active, pixel(520, 500), s.app.cursorIndex), std::tuple(false, 8, 2));
    });
    s.script.wait(2000).click(530, 555).wait(700).then([&] { EXPECT_EQ(s.app.search.startOnly, 0); });
    // Without it, Find then Next reach "cherry_apple"; the "X" leaves the mode.
    s.script.click(570, 503).wait(200).click(540, 528).wait(kSettle).click(600, 528).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 4); });
    s.script.click(627, 483).wait(kSettle).then([&] { EXPECT_FALSE(s.app.search.active); });
    // Back in the ordinary view, a sort key or a press on a header reloads with the cursor back on the first row.
    s.script.wait(2000).key('m').wait(1200).ext(scan::Down).wait(kSettle).key('s').wait(1000).then([&] {
        EXPECT_EQ(std::tuple(s.app.SortList, s.app.cursorIndex, s.cell(4, 50), s.cell(4, 4)), std::tuple(3, 1, CellRead{'S', 0, 3}, CellRead{'N', 1, 2}));
    });
    s.script.click(5 * 8, yOfRow(4)).wait(1000).then([&] { EXPECT_EQ(std::tuple(s.app.SortList, s.cell(4, 4)), std::tuple(1, CellRead{'N', 0, 3})); });
    s.script.click(63 * 8, yOfRow(4)).wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 4); });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_NE(s.programDir.read("Kestrel.cfg").find("4 SortList"), std::string::npos);
}
