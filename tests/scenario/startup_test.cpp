// Start-up from the settings file (odd ones too), Apply view, the expanded view's drawing, Save and exit.
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
        EXPECT_EQ(std::tuple(s.screen().height(), s.app.backgroundColour, s.app.accentColour, s.screen().palette()[10], s.app.selectedPath),
                  std::tuple(600, 10, 2, Rgb{198, 141, 85}, d.path));
        EXPECT_EQ(s.rig.presenter.title + s.listName(2) + s.listName(3) + s.listName(4), "Kestreloldestmiddlenewest");
        // The help lines, banner and panels; the button boxes cross the cells' edges.
        const auto text = [&](int r, int c, int n) { return readText(s.screen(), 0, r, c, n) + "|"; };
        EXPECT_EQ(text(31, 3, 11) + text(37, 5, 9) + text(31, 82, 17) + text(33, 84, 3) + text(33, 91, 2) + text(33, 95, 2),
                  "Mouse wheel| Kestrel |Copy/Kill  Buffer|lea|ie| 0|");
        EXPECT_EQ(std::tuple(s.cell(4, 62), s.cell(31, 3).bg, s.cell(37, 6).fg), std::tuple(CellRead{'D', 0, 3}, 10, 8));
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
    EXPECT_EQ(std::pair(seen, s.app.SortList), std::pair(std::vector<int>{2, 5, 13, 10, 2}, 1));
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "0 BigSmall\n0 BackGround\n/root\n1 SortList\n");
}

// A FIFO or a device never holds up the window; a path line holding a NUL lists no directory.
TEST(StartUp, OddSettingsFilesStartWithTheDefaults) {
    TempDir d;
    d.file("sub/inside", "x");
    const std::string cut = d.path + std::string("\0/sub", 5);
    const std::function<void(Session&)> cases[] = {
        [](Session& s) { mkfifo((s.programDir.path + "/Kestrel.cfg").c_str(), 0644); },
        [](Session& s) { std::filesystem::create_symlink("/dev/zero", s.programDir.path + "/Kestrel.cfg"); },
        [&](Session& s) { s.settings(0, 0, cut, 1); },
    };
    for (int i = 0; i < 3; ++i) {
        Session s;
        cases[i](s);
        s.script.wait(1000).then([&] { EXPECT_EQ(std::pair(s.app.selectedPath, i == 2 ? s.app.list.count : 1), std::pair(i == 2 ? cut : "/root", 1)) << i; });
        EXPECT_EQ(s.quit(), 0);
    }
}

// Bottom-right square, then M: the expanded view keeps the placement, computed again for its own size.
// A stored sort of 0 reads as name order.
TEST(StartUp, ViewToggleAndPlacementSurviveApplyView) {
    Session s;
    s.browse("", 0).click(629, 464).wait(400).then([&] {
        EXPECT_EQ(std::pair(s.app.placement, s.rig.presenter.position), std::pair(Placement::BottomRight, Point{1920 - 640 - 5, 1080 - 300 - 216}));
    });
    s.script.key('m').wait(1200).then([&] {
        EXPECT_EQ(std::tuple(s.screen().width(), s.rig.presenter.position, s.app.SortList), std::tuple(800, Point{1920 - 560 - 245, 1080 - 240 - 393}, 1));
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
