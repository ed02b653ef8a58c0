// The Copy/Kill Buffer as a person uses it: Q, W, Z and V on a headless
// Kestrel, what the list and the panel show, and what the buffer holds.
#include <gtest/gtest.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kGap = 600;  // longer than the key settle after Q and W

// Plays `actions` one every kGap ms: 'j' Down, 'k' Up, anything else a key.
void play(Session& s, const std::string& actions) {
    for (char a : actions) (a == 'j' ? s.script.ext(scan::Down) : a == 'k' ? s.script.ext(scan::Up) : s.script.key(a)).wait(kGap);
}
std::string count(Session& s) { return s.row(33).substr(94, 4); }

}  // namespace

TEST(CopyKillBuffer, PickingOneByOneAndInRuns) {
    struct Case {
        const char* what;
        const char* actions;  // cursor starts on ".."; entries a b c d e, then the directory sub
        std::vector<std::string> picked;
        const char* message;  // row 27 while the last action's message shows
    };
    const Case cases[] = {
        {"Q on the parent", "Q", {}, "Files Only."},
        {"Q on a directory", "jjjjjjQ", {}, "Files Only."},
        {"Q twice", "jQQ", {}, ""},
        {"Q on two files", "jQjQ", {"a", "b"}, ""},
        {"W below the anchor", "jQjW", {"a", "b"}, ""},
        {"W further below", "jQjjjW", {"a", "b", "c", "d"}, ""},
        {"W above the anchor", "jjjjQkkkW", {"d", "a", "b", "c"}, ""},
        {"W on the anchor", "jjQW", {"b", "a"}, ""},
        {"W on the anchor at index 2 takes in the parent", "jQW", {"a", ".."}, ""},
        {"W with an empty buffer", "jW", {}, "Need File Start."},
        {"W on a directory", "jQjjjjjW", {"a"}, "Files Only."},
        {"Z after picks", "jQjQZ", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Session s;
        for (const char* name : {"a", "b", "c", "d", "e"}) s.dir.file(name, name);
        s.dir.dir("sub");
        s.browse();
        play(s, c.actions);
        s.script.wait(-kGap + 100).then([&] {
            EXPECT_EQ(s.row(27).substr(1, std::string(c.message).size()), c.message);
            std::vector<std::string> expected;
            for (const std::string& name : c.picked) expected.push_back(s.dir.path + "/" + name);
            EXPECT_EQ(s.app.buffer.filePaths(), expected);
            EXPECT_EQ(s.app.buffer.fileList().empty(), expected.empty());
        });
        s.script.wait(2500);
        EXPECT_EQ(s.quit(), 0);
    }
}

// A picked row shows picked wherever the same row text is listed; the panel
// names the buffer by the last command and counts it.
TEST(CopyKillBuffer, HighlightFollowsTheRowTextIntoOtherDirectoriesAndThePanelCounts) {
    Session s;
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    for (const char* name : {"one/same", "two/same", "two/other"})
        std::filesystem::last_write_time(s.dir.file(name, "12345"), when);
    s.settings(1, 0, s.dir.path + "/one", 1);
    s.script.wait(1000);
    play(s, "jQ");
    s.script.then([&] {
        EXPECT_EQ(s.cell(6, 2), (CellRead{'s', 15, 3}));  // drawn picked over the cursor
        EXPECT_EQ(s.row(31).substr(81, 17), "Copy/Paste Buffer");
        EXPECT_EQ(count(s), " 1  ");
    });
    s.script.then([&] { s.app.selectedPath = s.dir.path + "/two"; }).ext(scan::F3).wait(kGap).then([&] {
        EXPECT_EQ(s.listName(3), "same");
        EXPECT_EQ(s.cell(7, 2), (CellRead{'s', 15, 3}));
        EXPECT_EQ(s.cell(6, 2), (CellRead{'o', 0, 2}));
        EXPECT_EQ(s.row(31).substr(81, 17), "Copy/Kill  Buffer");
    });
    // "View" writes buffer.txt and starts the editor once for a held click;
    // "Clear" empties the buffer and the count.
    s.script.click(xOfColumn(91), yOfRow(33)).wait(kGap).then([&] {
        EXPECT_EQ(s.programDir.read("buffer.txt"), s.app.buffer.rows[1] + "\n\n" + s.dir.path + "/one/same \n");
        EXPECT_EQ(s.runner.programCalls,
                  (std::vector<ProgramCall>{{"/usr/local/bin/defaulttexteditor", {s.programDir.path + "/buffer.txt"}}}));
    });
    s.script.click(xOfColumn(85), yOfRow(33)).wait(kGap).then([&] {
        EXPECT_EQ(s.app.buffer.count, 0);
        EXPECT_EQ(s.cell(7, 2), (CellRead{'s', 0, 2}));
        EXPECT_EQ(count(s), " 0  ");
    });
    EXPECT_EQ(s.quit(), 0);
}

// Column 99 holds the last digit of 1001 and is crossed by the panel's outline.
TEST(CopyKillBuffer, ClearingAFullBufferLeavesNoStaleDigits) {
    Session s;
    s.settings(1, 0, s.dir.path, 1);
    s.script.wait(1000).then([&] {
        for (int i = 0; i < 1001; ++i) s.app.buffer.add("row" + std::to_string(i), s.dir.path + "/a");
    });
    const auto inkInColumn99 = [&] {
        int ink = 0;
        for (int y = 512; y < 528; ++y)
            for (int x = 784; x < 790; ++x) ink += s.screen().pixel(0, x, y) == 0;
        return ink;
    };
    s.script.ext(scan::F3).wait(kGap).then([&] {
        EXPECT_EQ(count(s), " 100");
        EXPECT_GT(inkInColumn99(), 0);
    });
    s.script.key('Z').wait(kGap).then([&] {
        EXPECT_EQ(count(s), " 0  ");
        EXPECT_EQ(inkInColumn99(), 0);
    });
    EXPECT_EQ(s.quit(), 0);
}

// "/home/a " is also the tail of "/bak/home/a ": un-picking the first must leave the second whole.
TEST(CopyKillBuffer, HoldsAtMost1001AndUnpickingRebuildsTheList) {
    CopyKillBuffer b;
    for (int i = 0; i < 1005; ++i) b.add("row" + std::to_string(i), "/p/" + std::to_string(i));
    EXPECT_EQ(b.count, 1001);
    EXPECT_FALSE(b.holds("row1001"));
    b.clear();
    b.add("x", "/bak/home/a");
    b.add("y", "/home/a");
    b.removeSlot(b.slotOf("y"));
    EXPECT_EQ(b.fileList(), "/bak/home/a ");
    b.add("y", "/home/a");
    b.removeSlot(b.slotOf("x"));
    EXPECT_EQ(b.fileList(), "/home/a ");
    EXPECT_EQ(b.slotOf("y"), 1);
}
