// Sorting by key and header, and the search mode, on a headless Kestrel.
#include <gtest/gtest.h>

#include "dirlist/name_search.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kSettle = 400;

// A directory of fruit in the ordinary view, or in the expanded one.
struct Fruit : Session {
    explicit Fruit(int bigSmall = 0) {
        for (const char* n : {"apple", "Banana", "cherry_apple", "grape"}) dir.file(n, n);
        dir.file(std::string(40, 'x') + "needle", "");
        settings(bigSmall, 0, dir.path, 1);
        script.wait(1000);
    }
    Script& enter() { return script.key(ch::Enter).wait(kSettle); }
    void cursorAt(int index) { script.then([this, index] { EXPECT_EQ(app.cursorIndex, index); }); }
};

}  // namespace

TEST(Search, NextRunsThroughMatchesThenLeaves) {
    Fruit s;
    s.script.key('?').wait(100).keys("aPp");
    s.enter().then([&] {
        EXPECT_EQ(std::tuple(s.app.search.active, s.app.search.text, s.app.cursorRow, s.listName(1), s.cell(5, 2), s.row(27).substr(1, 11)),
                  std::tuple(true, "aPp", 1, "apple", CellRead{'a', 5, 9}, "Search >aPp"));
    });
    s.enter().then([&] { EXPECT_EQ(std::tuple(s.listName(1), s.app.cursorIndex), std::tuple(std::string("cherry_apple"), 4)); });
    // No further match: the mode ends and the cursor stays.
    s.enter().then([&] { EXPECT_EQ(std::tuple(s.app.search.active, s.app.search.position, s.app.cursorIndex), std::tuple(false, 1, 4)); });
    // Keys typed during the settle are dropped.
    s.script.key('x').wait(2000).then([&] { EXPECT_FALSE(s.rig.input.keyWaiting()); });
    // The next Next starts at row 2 again; only the 37-character name column is searched.
    s.script.key('?').wait(100);
    s.enter();
    s.cursorAt(2);
    s.script.keys("\b\b\bneedle");
    s.enter().then([&] { EXPECT_EQ(std::tuple(s.app.search.active, s.app.cursorIndex), std::tuple(false, 2)); });
    s.script.wait(2000);
    EXPECT_EQ(s.quit(), 0);
}

// Start Only toggled outside the search mode; with it, "cherry_apple" does not match.
TEST(Search, FindNextButtonsAndStartOnlyInTheExpandedView) {
    Fruit s(1);
    const auto pixel = [&](int x, int y) { return s.screen().pixel(0, x, y); };
    s.script.wait(500).click(530, 555).wait(700).then([&] { EXPECT_EQ(std::tuple(s.app.search.startOnly, pixel(530, 555)), std::tuple(1, 1)); });
    // The field frame while searching.
    s.script.click(570, 503).wait(200).then([&] { EXPECT_EQ(std::tuple(s.app.search.active, pixel(520, 500)), std::tuple(true, 14)); });
    s.script.keys("app").click(540, 528).wait(kSettle).then([&] { EXPECT_EQ(std::tuple(readText(s.screen(), 0, 32, 67, 4), s.app.cursorIndex), std::tuple(">app", 2)); });
    s.script.click(600, 528).wait(kSettle).then([&] { EXPECT_EQ(std::tuple(s.app.search.active, pixel(520, 500), s.app.cursorIndex), std::tuple(false, 8, 2)); });
    s.script.wait(2000).click(530, 555).wait(700).then([&] { EXPECT_EQ(s.app.search.startOnly, 0); });
    s.script.click(570, 503).wait(200);
    for (const auto& [x, bit, cursor] : {std::array{540, 1, 2}, {600, 1, 4}, {540, 0, 2}}) {
        s.script.click(x, 528, bit).wait(kSettle);
        s.cursorAt(cursor);
    }
    // The "X" leaves the mode.
    s.script.click(627, 483).wait(kSettle).then([&] { EXPECT_FALSE(s.app.search.active); });
    s.script.wait(2000);
    EXPECT_EQ(s.quit(), 0);
}

// Only name characters, at most ten; a fresh run's "." matches the parent row on the first Enter.
TEST(Search, FieldRulesAndTheParentOnTheFirstEnter) {
    Fruit s;
    s.script.key('?').wait(100).keys("a b?c,(d)").then([&] { EXPECT_EQ(s.app.search.text, "abcd"); });
    s.script.keys("efghijklm").then([&] { EXPECT_EQ(s.app.search.text, "abcdefghij"); });
    s.script.key(ch::Backspace).ext(scan::Left).wait(300).then([&] { EXPECT_EQ(s.app.search.text, "abcdefgh"); });
    s.script.key(27).wait(2000).then([&] { s.app.search = SearchState{}; });
    s.script.key('?').wait(100).keys(".");
    s.enter().then([&] { EXPECT_TRUE(s.app.search.active); });
    s.cursorAt(1);
    s.script.key(27).wait(2000);
    EXPECT_EQ(s.quit(), 0);
    DirList list;
    list.setRow(2, "one");
    list.setRow(3, "two");
    list.count = 3;
    int position = 0;
    const int none = searchEntries(list, "", false, SearchRule::Next, position), firstAt = position;
    const int found = searchEntries(list, "O", true, SearchRule::Find, position);
    EXPECT_EQ(std::tuple(none, firstAt, found, searchEntries(list, "O", false, SearchRule::Next, position)), std::tuple(0, 1, 2, 3));
}

// A sort key or a press on a header reloads with the cursor back on the first row.
TEST(Sorting, KeysAndHeaderClicksReload) {
    Fruit s;
    s.script.ext(scan::Down).wait(kSettle).key('s').wait(1000).then([&] {
        EXPECT_EQ(std::tuple(s.app.SortList, s.app.cursorIndex, s.cell(4, 50), s.cell(4, 4)), std::tuple(3, 1, CellRead{'S', 0, 3}, CellRead{'N', 1, 2}));
    });
    s.script.click(5 * 8, yOfRow(4)).wait(1000).then([&] { EXPECT_EQ(std::tuple(s.app.SortList, s.cell(4, 4)), std::tuple(1, CellRead{'N', 0, 3})); });
    s.script.click(63 * 8, yOfRow(4)).wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 4); });
    s.script.key('t').wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 2); });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_NE(s.programDir.read("Kestrel.cfg").find("2 SortList"), std::string::npos);
}
