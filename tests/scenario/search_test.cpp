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
        EXPECT_TRUE(s.app.search.active);
        EXPECT_EQ(s.app.search.text, "aPp");
        EXPECT_EQ(s.app.cursorRow, 1);
        EXPECT_EQ(s.listName(1), "apple");
        EXPECT_EQ(s.cell(5, 2), (CellRead{'a', 5, 9}));
        EXPECT_EQ(s.row(27).substr(1, 11), "Search >aPp");
    });
    s.enter().then([&] { EXPECT_EQ(s.listName(1), "cherry_apple"); });
    s.cursorAt(4);
    // No further match: the mode ends and the cursor stays.
    s.enter().then([&] {
        EXPECT_FALSE(s.app.search.active);
        EXPECT_EQ(s.app.search.position, 1);
    });
    s.cursorAt(4);
    // Keys typed during the settle are dropped.
    s.script.key('x').wait(2000).then([&] { EXPECT_FALSE(s.rig.input.keyWaiting()); });
    // The next Next starts at row 2 again; only the 37-character name column is searched.
    s.script.key('?').wait(100);
    s.enter();
    s.cursorAt(2);
    s.script.keys("\b\b\bneedle");
    s.enter().then([&] { EXPECT_FALSE(s.app.search.active); });
    s.cursorAt(2);
    s.script.wait(2000);
    EXPECT_EQ(s.quit(), 0);
}

// Start Only toggled outside the search mode; with it, "cherry_apple" does not match.
TEST(Search, FindNextButtonsAndStartOnlyInTheExpandedView) {
    Fruit s(1);
    const auto pixel = [&](int x, int y) { return s.screen().pixel(0, x, y); };
    s.script.wait(500).click(530, 555).wait(700).then([&] {
        EXPECT_EQ(s.app.search.startOnly, 1);
        EXPECT_EQ(pixel(530, 555), 1);
    });
    s.script.click(570, 503).wait(200).then([&] {
        EXPECT_TRUE(s.app.search.active);
        EXPECT_EQ(pixel(520, 500), 14);  // the field frame while searching
    });
    s.script.keys("app").click(540, 528).wait(kSettle).then([&] { EXPECT_EQ(readText(s.screen(), 0, 32, 67, 4), ">app"); });
    s.cursorAt(2);
    s.script.click(600, 528).wait(kSettle).then([&] {
        EXPECT_FALSE(s.app.search.active);
        EXPECT_EQ(pixel(520, 500), 8);
    });
    s.cursorAt(2);
    s.script.wait(2000).click(530, 555).wait(700).then([&] { EXPECT_EQ(s.app.search.startOnly, 0); });
    s.script.click(570, 503).wait(200).click(540, 528, 1).wait(kSettle);
    s.cursorAt(2);
    s.script.click(600, 528, 1).wait(kSettle);
    s.cursorAt(4);
    s.script.click(540, 528).wait(kSettle);
    s.cursorAt(2);
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
    EXPECT_EQ(searchEntries(list, "", false, SearchRule::Next, position), 0);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(searchEntries(list, "O", true, SearchRule::Find, position), 2);
    EXPECT_EQ(searchEntries(list, "O", false, SearchRule::Next, position), 3);
}

// A sort key or a press on a header reloads with the cursor back on the first row.
TEST(Sorting, KeysAndHeaderClicksReload) {
    Fruit s;
    s.script.ext(scan::Down).wait(kSettle).key('s').wait(1000).then([&] {
        EXPECT_EQ(s.app.SortList, 3);
        EXPECT_EQ(s.app.cursorIndex, 1);
        EXPECT_EQ(s.cell(4, 50), (CellRead{'S', 0, 3}));
        EXPECT_EQ(s.cell(4, 4), (CellRead{'N', 1, 2}));
    });
    s.script.click(5 * 8, yOfRow(4)).wait(1000).then([&] {
        EXPECT_EQ(s.app.SortList, 1);
        EXPECT_EQ(s.cell(4, 4), (CellRead{'N', 0, 3}));
    });
    s.script.click(63 * 8, yOfRow(4)).wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 4); });
    s.script.key('t').wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 2); });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_NE(s.programDir.read("Kestrel.cfg").find("2 SortList"), std::string::npos);
}
