// Sorting by key and header, and the search mode, on a headless Kestrel.
#include <gtest/gtest.h>

#include "dirlist/name_search.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kSettle = 400;

void fruit(const TempDir& d) {
    d.file("apple", "1");
    d.file("Banana", "22");
    d.file("cherry_apple", "333");
    d.file("grape", "4444");
    d.file(std::string(40, 'x') + "needle", "");
}

}  // namespace

TEST(Search, NextRunsThroughMatchesThenLeaves) {
    Session s;
    fruit(s.dir);
    s.browse().key('?').wait(100).keys("aPp").key(ch::Enter).wait(kSettle).then([&] {
        EXPECT_TRUE(s.app.search.active);
        EXPECT_EQ(s.app.search.text, "aPp");
        EXPECT_EQ(s.app.cursorRow, 1);
        EXPECT_EQ(s.listName(1), "apple");
        EXPECT_EQ(s.cell(5, 2), (CellRead{'a', 5, 9}));
        EXPECT_EQ(s.row(27).substr(1, 11), "Search >aPp");
    });
    s.script.key(ch::Enter).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 4);
        EXPECT_EQ(s.listName(1), "cherry_apple");
    });
    // No further match: the mode ends and the cursor stays.
    s.script.key(ch::Enter).wait(kSettle).then([&] {
        EXPECT_FALSE(s.app.search.active);
        EXPECT_EQ(s.app.cursorIndex, 4);
        EXPECT_EQ(s.app.search.position, 1);
    });
    // Keys typed during the settle are dropped.
    s.script.key('x').wait(2000).then([&] { EXPECT_FALSE(s.rig.input.keyWaiting()); });
    // The next Next starts at row 2 again.
    s.script.key('?').wait(100).key(ch::Enter).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 2); });
    // Only the 37-character name column is searched.
    s.script.keys("\b\b\bneedle").key(ch::Enter).wait(kSettle).then([&] {
        EXPECT_FALSE(s.app.search.active);
        EXPECT_EQ(s.app.cursorIndex, 2);
    });
    s.script.wait(2000).key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Search, FindNextButtonsAndStartOnlyInTheExpandedView) {
    Session s;
    TempDir d;
    fruit(d);
    s.settings(1, 0, d.path, 1);
    // Start Only toggled outside the search mode.
    s.script.wait(1500).click(530, 555).wait(700).then([&] {
        EXPECT_EQ(s.app.search.startOnly, 1);
        EXPECT_EQ(s.screen().pixel(0, 530, 555), 1);
    });
    s.script.click(570, 503).wait(200).then([&] {
        EXPECT_TRUE(s.app.search.active);
        EXPECT_EQ(s.screen().pixel(0, 520, 500), 14);  // the field frame while searching
    });
    s.script.keys("app").click(540, 528).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 2);
        EXPECT_EQ(readText(s.screen(), 0, 32, 67, 4), ">app");
    });
    // With Start Only, "cherry_apple" does not match: Next leaves the mode.
    s.script.click(600, 528).wait(kSettle).then([&] {
        EXPECT_FALSE(s.app.search.active);
        EXPECT_EQ(s.app.cursorIndex, 2);
        EXPECT_EQ(s.screen().pixel(0, 520, 500), 8);
    });
    s.script.wait(2000).click(530, 555).wait(700).then([&] { EXPECT_EQ(s.app.search.startOnly, 0); });
    s.script.click(570, 503).wait(200).click(540, 528, 1).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 2); });
    s.script.click(600, 528, 1).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 4); });
    s.script.click(540, 528).wait(kSettle).then([&] { EXPECT_EQ(s.app.cursorIndex, 2); });
    // The "X" leaves the mode.
    s.script.click(627, 483).wait(kSettle).then([&] { EXPECT_FALSE(s.app.search.active); });
    s.script.wait(2000).key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(Search, FieldRulesAndTheParentOnTheFirstEnter) {
    Session s;
    fruit(s.dir);
    s.browse().key('?').wait(100).keys("a b?c,(d)").then([&] { EXPECT_EQ(s.app.search.text, "abcd"); });
    s.script.keys("efghijklm").then([&] { EXPECT_EQ(s.app.search.text, "abcdefghij"); });
    s.script.key(ch::Backspace).ext(scan::Left).wait(300).then([&] { EXPECT_EQ(s.app.search.text, "abcdefgh"); });
    // A fresh run: "." matches the parent row on the first Enter.
    s.script.key(27).wait(2000).then([&] { s.app.search = SearchState{}; });
    s.script.key('?').wait(100).keys(".").key(ch::Enter).wait(kSettle).then([&] {
        EXPECT_EQ(s.app.cursorIndex, 1);
        EXPECT_TRUE(s.app.search.active);
    });
    s.script.key(27).wait(2000).key(27);
    EXPECT_EQ(s.run(), 0);

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

TEST(Sorting, KeysAndHeaderClicksReload) {
    Session s;
    fruit(s.dir);
    s.browse().ext(scan::Down).wait(kSettle).key('s').wait(1000).then([&] {
        EXPECT_EQ(s.app.SortList, 3);
        EXPECT_EQ(s.app.cursorIndex, 1);  // back on the first row
        EXPECT_EQ(s.cell(4, 50), (CellRead{'S', 0, 3}));
        EXPECT_EQ(s.cell(4, 4), (CellRead{'N', 1, 2}));
    });
    s.script.click(5 * 8, 4 * 16 - 8).wait(1000).then([&] {
        EXPECT_EQ(s.app.SortList, 1);
        EXPECT_EQ(s.cell(4, 4), (CellRead{'N', 0, 3}));
    });
    s.script.click(63 * 8, 4 * 16 - 8).wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 4); });
    s.script.key('t').wait(1000).then([&] { EXPECT_EQ(s.app.SortList, 2); });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_NE(s.programDir.read("Kestrel.cfg").find("2 SortList"), std::string::npos);
}
