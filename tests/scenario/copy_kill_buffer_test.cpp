// The Copy/Kill Buffer as a person uses it: Q, W, Z and V on a headless
// Kestrel, what the list and the panel show, and what the buffer holds.
#include <gtest/gtest.h>

#include <filesystem>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kGap = 600;  // longer than the key settle after Q and W

// Plays `actions` one every kGap ms: 'j' Down, 'k' Up, anything else a key.
void play(Session& s, const std::string& actions) {
    for (char a : actions) {
        if (a == 'j') s.script.ext(scan::Down);
        else if (a == 'k') s.script.ext(scan::Up);
        else s.script.key(a);
        s.script.wait(kGap);
    }
}

std::vector<std::string> bufferPaths(const App& app) { return app.buffer.filePaths(); }

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
        TempDir d;
        for (const char* name : {"a", "b", "c", "d", "e"}) d.file(name, name);
        d.dir("sub");
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000);
        play(s, c.actions);
        s.script.wait(-kGap + 100).then([&] {
            EXPECT_EQ(s.row(27).substr(1, 16).substr(0, std::string(c.message).size()), c.message);
            std::vector<std::string> expected;
            for (const std::string& name : c.picked) expected.push_back(d.path + "/" + name);
            EXPECT_EQ(bufferPaths(s.app), expected);
            EXPECT_EQ(s.app.buffer.fileList().empty(), expected.empty());
        });
        s.script.wait(2500).key(27);
        EXPECT_EQ(s.run(), 0);
    }
}

TEST(CopyKillBuffer, HighlightFollowsTheRowTextIntoOtherDirectoriesAndThePanelCounts) {
    Session s;
    TempDir d;
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    for (const char* name : {"one/same", "two/same", "two/other"}) {
        d.file(name, "12345");
        std::filesystem::last_write_time(std::filesystem::path(d.path) / name, when);
    }
    s.settings(1, 0, d.path + "/one", 1);
    s.script.wait(1000);
    play(s, "jQ");
    s.script.then([&] {
        EXPECT_EQ(s.cell(6, 2), (CellRead{'s', 15, 3}));  // drawn picked over the cursor
        EXPECT_EQ(s.row(31).substr(81, 17), "Copy/Paste Buffer");
        EXPECT_EQ(s.row(33).substr(94, 3), " 1 ");
    });
    s.script.then([&] { s.app.selectedPath = d.path + "/two"; }).ext(scan::F3).wait(kGap).then([&] {
        EXPECT_EQ(s.listName(3), "same");
        EXPECT_EQ(s.cell(7, 2), (CellRead{'s', 15, 3}));
        EXPECT_EQ(s.cell(6, 2), (CellRead{'o', 0, 2}));
        EXPECT_EQ(s.row(31).substr(81, 17), "Copy/Kill  Buffer");
    });
    // "View" writes buffer.txt and starts the editor once for a held click;
    // "Clear" empties the buffer and the count.
    s.script.click(91 * 8 - 4, 33 * 16 - 8).wait(kGap).then([&] {
        EXPECT_EQ(s.programDir.read("buffer.txt"),
                  s.app.buffer.rows[1] + "\n\n" + d.path + "/one/same \n");
        ASSERT_EQ(s.runner.programCalls.size(), 1u);
        EXPECT_EQ(s.runner.programCalls[0],
                  (ProgramCall{"/usr/local/bin/defaulttexteditor", {s.programDir.path + "/buffer.txt"}}));
    });
    s.script.click(85 * 8 - 4, 33 * 16 - 8).wait(kGap).then([&] {
        EXPECT_EQ(s.app.buffer.count, 0);
        EXPECT_EQ(s.cell(7, 2), (CellRead{'s', 0, 2}));
        EXPECT_EQ(s.row(33).substr(94, 4), " 0  ");
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(CopyKillBuffer, HoldsAtMost1001AndUnpickingRebuildsTheList) {
    CopyKillBuffer b;
    for (int i = 0; i < 1005; ++i) b.add("row" + std::to_string(i), "/p/" + std::to_string(i));
    EXPECT_EQ(b.count, 1001);
    EXPECT_FALSE(b.holds("row1001"));
    b.clear();
    // "/home/a " is also the tail of "/bak/home/a ": un-picking the first
    // must leave the second whole.
    b.add("x", "/bak/home/a");
    b.add("y", "/home/a");
    b.removeSlot(b.slotOf("y"));
    EXPECT_EQ(b.fileList(), "/bak/home/a ");
    b.add("y", "/home/a");
    b.removeSlot(b.slotOf("x"));
    EXPECT_EQ(b.fileList(), "/home/a ");
    EXPECT_EQ(b.slotOf("y"), 1);
}
