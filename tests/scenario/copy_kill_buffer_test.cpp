// The Copy/Kill Buffer: Q, W, Z and V, what the list and the panel show, and what the buffer holds.
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
    // actions (cursor on ".."; entries a b c d e, then the directory sub), picked, row 27 after the last
    const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {
        {"Q", {}, "Files Only."}, {"jjjjjjQ", {}, "Files Only."}, {"jQQ", {}, ""}, {"jQjQ", {"a", "b"}, ""},
        {"jQjW", {"a", "b"}, ""}, {"jQjjjW", {"a", "b", "c", "d"}, ""}, {"jjjjQkkkW", {"d", "a", "b", "c"}, ""},
        {"jjQW", {"b", "a"}, ""}, {"jQW", {"a", ".."}, ""},  // W on the anchor at index 2 takes in the parent
        {"jW", {}, "Need File Start."}, {"jQjjjjjW", {"a"}, "Files Only."}, {"jQjQZ", {}, ""},
    };
    for (const auto& [actions, picked, message] : cases) {
        SCOPED_TRACE(actions);
        Session s;
        for (const char* name : {"a", "b", "c", "d", "e"}) s.dir.file(name, name);
        s.dir.dir("sub");
        s.browse();
        play(s, actions);
        s.script.wait(-kGap + 100).then([&] {
            std::vector<std::string> expected;
            for (const std::string& name : picked) expected.push_back(s.dir.path + "/" + name);
            EXPECT_EQ(std::tuple(s.row(27).substr(1, message.size()), s.app.buffer.filePaths(), s.app.buffer.fileList().empty()), std::tuple(message, expected, expected.empty()));
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
    // Drawn picked over the cursor.
    s.script.then([&] { EXPECT_EQ(std::tuple(s.cell(6, 2), s.row(31).substr(81, 17), count(s)), std::tuple(CellRead{'s', 15, 3}, "Copy/Paste Buffer", " 1  ")); });
    s.script.then([&] { s.app.selectedPath = s.dir.path + "/two"; }).ext(scan::F3).wait(kGap).then([&] {
        EXPECT_EQ(std::tuple(s.listName(3), s.cell(7, 2), s.cell(6, 2), s.row(31).substr(81, 17)),
                  std::tuple("same", CellRead{'s', 15, 3}, CellRead{'o', 0, 2}, "Copy/Kill  Buffer"));
    });
    // "View" writes buffer.txt and starts the editor once for a held click; "Clear" empties the buffer and the count.
    s.script.click(xOfColumn(91), yOfRow(33)).wait(kGap).then([&] {
        EXPECT_EQ(s.programDir.read("buffer.txt"), s.app.buffer.rows[1] + "\n\n" + s.dir.path + "/one/same \n");
        EXPECT_EQ(s.runner.programCalls,
                  (std::vector<ProgramCall>{{"/usr/local/bin/defaulttexteditor", {s.programDir.path + "/buffer.txt"}}}));
    });
    s.script.click(xOfColumn(85), yOfRow(33)).wait(kGap).then([&] { EXPECT_EQ(std::tuple(s.app.buffer.count, s.cell(7, 2), count(s)), std::tuple(0, CellRead{'s', 0, 2}, " 0  ")); });
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
    s.script.ext(scan::F3).wait(kGap).then([&] { EXPECT_EQ(std::tuple(count(s), inkInColumn99() > 0), std::tuple(" 100", true)); });
    s.script.key('Z').wait(kGap).then([&] { EXPECT_EQ(std::tuple(count(s), inkInColumn99()), std::tuple(" 0  ", 0)); });
    EXPECT_EQ(s.quit(), 0);
}

// "/home/a " is also the tail of "/bak/home/a ": un-picking the first must leave the second whole.
TEST(CopyKillBuffer, HoldsAtMost1001AndUnpickingRebuildsTheList) {
    CopyKillBuffer b;
    for (int i = 0; i < 1005; ++i) b.add("row" + std::to_string(i), "/p/" + std::to_string(i));
    EXPECT_EQ(std::pair(b.count, b.holds("row1001")), std::pair(1001, false));
    b.clear();
    b.add("x", "/bak/home/a");
    b.add("y", "/home/a");
    b.removeSlot(b.slotOf("y"));
    EXPECT_EQ(b.fileList(), "/bak/home/a ");
    b.add("y", "/home/a");
    b.removeSlot(b.slotOf("x"));
    EXPECT_EQ(std::pair(b.fileList(), b.slotOf("y")), std::pair(std::string("/home/a "), 1));
}
