// Start-up from the settings file, Apply view, and Save and exit.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

void setModified(const std::string& path, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

TEST(StartUp, ExpandedViewFromTheSettingsFileInDateOrder) {
    Session s;
    const TempDir& d = s.dir;
    setModified(d.file("newest", "c"), 1700000000);
    setModified(d.file("oldest", "a"), 900000000);
    setModified(d.file("middle", "b"), 1300000000);
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
        // The expanded view's help lines, banner and panels.
        EXPECT_EQ(readText(s.screen(), 0, 31, 3, 11), "Mouse wheel");
        EXPECT_EQ(s.cell(31, 3).bg, 10);
        EXPECT_EQ(readText(s.screen(), 0, 37, 5, 9), " Kestrel ");
        EXPECT_EQ(s.cell(37, 6).fg, 8);
        EXPECT_EQ(readText(s.screen(), 0, 31, 82, 17), "Copy/Kill  Buffer");
        EXPECT_EQ(readText(s.screen(), 0, 33, 84, 3), "lea");  // the button boxes cross the cells' edges
        EXPECT_EQ(readText(s.screen(), 0, 33, 91, 2), "ie");
        EXPECT_EQ(readText(s.screen(), 0, 33, 95, 2), " 0");
        EXPECT_EQ(s.screen().pixel(0, 793, 300), 1);  // the outer frame, an outline
    });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "1 BigSmall\n3 BackGround\n" + d.path + "\n4 SortList\n");
}

TEST(StartUp, DefaultsWithoutASettingsFileAndBackgroundCycle) {
    Session s;
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) s.script.wait(1200).then([&] { seen.push_back(s.cell(3, 2).bg); }).key('b');
    s.script.wait(1200).then([&] { seen.push_back(s.cell(3, 2).bg); }).key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(seen, (std::vector<int>{2, 5, 13, 10, 2}));
    EXPECT_EQ(s.app.SortList, 1);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "0 BigSmall\n0 BackGround\n/root\n1 SortList\n");
}

TEST(StartUp, ViewToggleAndPlacementSurviveApplyView) {
    Session s;
    const TempDir& d = s.dir;
    // Bottom-right square, then M: the expanded view keeps the placement,
    // computed again for its own size.
    s.browse("", 0).click(629, 464).wait(400).then([&] {
        EXPECT_EQ(s.app.placement, Placement::BottomRight);
        EXPECT_EQ(s.rig.presenter.position, (Point{1920 - 640 - 5, 1080 - 300 - 216}));
    });
    s.script.key('m').wait(1200).then([&] {
        EXPECT_EQ(s.screen().width(), 800);
        EXPECT_EQ(s.rig.presenter.position, (Point{1920 - 560 - 245, 1080 - 240 - 393}));
        EXPECT_EQ(s.app.SortList, 1);  // a stored 0 reads as name order
    });
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "1 BigSmall\n0 BackGround\n" + d.path + "\n1 SortList\n");
}
