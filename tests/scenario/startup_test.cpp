// Start-up from the settings file (odd ones too), Apply view, the expanded
// view's drawing, and Save and exit.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(StartUp, ExpandedViewFromTheSettingsFileInDateOrder) {
    Session s;
    const TempDir& d = s.dir;
    for (const auto& [name, when] : {std::pair{"newest", 1700000000}, {"oldest", 900000000}, {"middle", 1300000000}}) {
        const timespec times[2] = {{when, 0}, {when, 0}};
        utimensat(AT_FDCWD, d.file(name, name).c_str(), times, 0);
    }
    s.settings(1, 3, "   " + d.path + "   ", 4);
    s.script.wait(1500).then([&] {
        EXPECT_EQ(s.screen().height(), 600);
        EXPECT_EQ(s.app.backgroundColour, 10);
        EXPECT_EQ(s.app.accentColour, 2);
        EXPECT_EQ(s.screen().palette()[10], (Rgb{198, 141, 85}));
        EXPECT_EQ(s.app.selectedPath, d.path);
        EXPECT_EQ(s.rig.presenter.title, "Kestrel");
        EXPECT_EQ(s.listName(2) + s.listName(3) + s.listName(4), "oldestmiddlenewest");
        EXPECT_EQ(s.cell(4, 62), (CellRead{'D', 0, 3}));
        // The expanded view's help lines, banner and panels; the button boxes cross the cells' edges.
        EXPECT_EQ(readText(s.screen(), 0, 31, 3, 11), "Mouse wheel");
        EXPECT_EQ(s.cell(31, 3).bg, 10);
        EXPECT_EQ(readText(s.screen(), 0, 37, 5, 9), " Kestrel ");
        EXPECT_EQ(s.cell(37, 6).fg, 8);
        EXPECT_EQ(readText(s.screen(), 0, 31, 82, 17), "Copy/Kill  Buffer");
        EXPECT_EQ(readText(s.screen(), 0, 33, 84, 3), "lea");
        EXPECT_EQ(readText(s.screen(), 0, 33, 91, 2), "ie");
        EXPECT_EQ(readText(s.screen(), 0, 33, 95, 2), " 0");
        // The outer frame's boxes are outlines: -1 is the background colour.
        for (const auto [x, y, colour] :
             {std::array{793, 300, 1}, {796, 300, 1}, {794, 300, -1}, {795, 300, -1}, {2, 530, 1}, {5, 530, 1}, {3, 530, -1},
              {400, 593, 1}, {400, 594, 1}, {400, 595, -1}, {400, 596, 1}, {400, 597, 1}, {700, 2, 1}, {700, 3, 1},
              {700, 4, -1}, {700, 5, -1}, {700, 6, 1}, {700, 7, 1}})
            EXPECT_EQ(s.screen().pixel(0, x, y), colour < 0 ? 10 : colour) << x << "," << y;
    });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "1 BigSmall\n3 BackGround\n" + d.path + "\n4 SortList\n");
}

TEST(StartUp, DefaultsWithoutASettingsFileAndBackgroundCycle) {
    Session s;
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) s.script.wait(1200).then([&] { seen.push_back(s.cell(3, 2).bg); }).key(i < 4 ? 'b' : 27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(seen, (std::vector<int>{2, 5, 13, 10, 2}));
    EXPECT_EQ(s.app.SortList, 1);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "0 BigSmall\n0 BackGround\n/root\n1 SortList\n");
}

// A FIFO or a device never holds up the window; a path line holding a NUL lists no directory.
TEST(StartUp, OddSettingsFilesStartWithTheDefaults) {
    TempDir d;
    d.file("sub/inside", "x");
    const std::string cut = d.path + std::string("\0/sub", 5);
    const std::pair<const char*, std::function<void(Session&)>> cases[] = {
        {"a FIFO", [](Session& s) { mkfifo((s.programDir.path + "/Kestrel.cfg").c_str(), 0644); }},
        {"/dev/zero through a link", [](Session& s) { std::filesystem::create_symlink("/dev/zero", s.programDir.path + "/Kestrel.cfg"); }},
        {"a path holding a NUL", [&](Session& s) { s.settings(0, 0, cut, 1); }},
    };
    for (const auto& [what, setUp] : cases) {
        SCOPED_TRACE(what);
        Session s;
        setUp(s);
        const bool nul = what[0] == 'a' && what[2] == 'p';
        s.script.wait(1000).then([&] {
            EXPECT_EQ(s.app.selectedPath, nul ? cut : "/root");
            if (nul) {
                EXPECT_EQ(s.app.list.count, 1);
            }
        });
        EXPECT_EQ(s.quit(), 0);
    }
}

// Bottom-right square, then M: the expanded view keeps the placement,
// computed again for its own size. A stored sort of 0 reads as name order.
TEST(StartUp, ViewToggleAndPlacementSurviveApplyView) {
    Session s;
    s.browse("", 0).click(629, 464).wait(400).then([&] {
        EXPECT_EQ(s.app.placement, Placement::BottomRight);
        EXPECT_EQ(s.rig.presenter.position, (Point{1920 - 640 - 5, 1080 - 300 - 216}));
    });
    s.script.key('m').wait(1200).then([&] {
        EXPECT_EQ(s.screen().width(), 800);
        EXPECT_EQ(s.rig.presenter.position, (Point{1920 - 560 - 245, 1080 - 240 - 393}));
        EXPECT_EQ(s.app.SortList, 1);
    });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "1 BigSmall\n0 BackGround\n" + s.dir.path + "\n1 SortList\n");
}

// The search field's blinking underscore shows after a full ten-character text too.
TEST(StartUp, SearchUnderscoreBlinksAfterTheText) {
    for (const std::string text : {"abcdefghi", "abcdefghij"}) {
        Session s;
        s.settings(1, 0, s.dir.path, 1);
        const int col = 67 + 1 + static_cast<int>(text.size());
        int shown = 0;
        s.script.wait(1000).key('?').wait(100).keys(text.c_str());
        for (int t = 0; t < 1500; t += 10) s.script.wait(10).then([&] { shown += readCell(s.screen(), 0, 32, col).ch == '_'; });
        s.script.then([&] { EXPECT_EQ(readText(s.screen(), 0, 32, 67, 12), ">" + text + std::string(11 - text.size(), ' ')); });
        s.script.key(27).wait(2000);
        EXPECT_EQ(s.quit(), 0);
        EXPECT_GT(shown, 0) << text;
    }
}
