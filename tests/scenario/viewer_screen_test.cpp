// The viewer as a person uses it: keys, wheel and clicks, reading back what the screen shows.
#include <gtest/gtest.h>

#include <tuple>

#include "session.h"
#include "viewers/viewer.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A viewer on `content`, opened from its directory; the script starts one second in.
struct ViewerRun : Session {
    explicit ViewerRun(const std::string& content, bool expanded = false) {
        if (expanded) rig.screen.setMode(800, 600);
        app.selectedPath = file = dir.file("shown.bin", content);
        app.savedDirectoryPath = dir.path;
        app.BigSmall = expanded;
        app.startPosition = {100, 100};
        app.targets[0] = {0, 0};
        app.targets[3] = {1280, 600};
        script.wait(1000);
    }
    std::string status() {
        std::string t = row(30).substr(1, 40);
        return t.substr(0, t.find("  "));
    }
    long long pages() { return std::stoll(status().substr(status().rfind(' '))) / 2240; }
    // Closes with `key` and runs the viewer; the program's state after it.
    std::tuple<Next, std::string, std::string> close(int key = 27) {
        script.key(key);
        const Next next = runViewer(app);
        return {next, app.selectedPath, app.previousPath};
    }
    std::string file;
};

std::string printable(size_t n) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('!' + i % 90);
    return s;
}

constexpr int kRow30Y = 474, kDownX = 440, kHomeX = 530, kEndX = 570;

}  // namespace

TEST(ViewerScreen, OpensOnTheFirstPageAndEscGoesBackToTheDirectory) {
    ViewerRun v(printable(5000));
    v.script.then([&] {
        EXPECT_EQ(std::tuple(v.screen().visiblePage(), v.status(), v.cell(30, 2), v.cell(1, 1), v.cell(30, 50)),
                  std::tuple(1, "Size 5000 Pos 2240", CellRead{'S', 1, 2}, CellRead{'!', 0, 2}, CellRead{'U', 7, 6}));
        EXPECT_EQ(v.row(30).substr(49, 24), "Up??Down??Esc??Home??End");  // ? where a button box crosses a cell
        // The pad sits 10 pixels lower than on the browser.
        EXPECT_EQ(std::tuple(v.screen().pixel(1, 618, 463), v.screen().pixel(1, 621, 466)), std::tuple(12, 2));
    });
    // Down twice to the end (and no further), Home, End, and Up from the last page, which starts at
    // byte 2761 so the page before it ends at 2760.
    const std::tuple<int, std::int64_t, size_t> steps[] = {{scan::Down, 4480, 2240}, {scan::Down, 5000, 4480}, {scan::Down, 5000, 4480},
                                                           {scan::Home, 2240, 0},    {scan::End, 5000, 2760},  {scan::Up, 2760, 520}};
    for (const auto& [key, pos, firstByte] : steps)
        v.script.ext(key).wait(300).then([&, pos = pos, firstByte = firstByte] {
            EXPECT_EQ(v.status() + "|" + v.row(1), "Size 5000 Pos " + std::to_string(pos) + "|" + printable(5000).substr(firstByte, 80));
        });
    EXPECT_EQ(v.close(), std::tuple(Next::Reload, v.dir.path, v.file));
    EXPECT_EQ(v.screen().visiblePage() + v.screen().workPage(), 0);
    // Enter closes like Esc (it does not list the file as a directory); a file that cannot be read shows empty.
    ViewerRun gone("abc");
    gone.app.selectedPath = gone.dir.path + "/vanished";
    gone.script.then([&] { EXPECT_EQ(gone.status() + gone.row(1), "Size 0 Pos 0" + std::string(80, ' ')); });
    EXPECT_EQ(gone.close(13), std::tuple(Next::Reload, gone.dir.path, gone.dir.path + "/vanished"));
}

// A change of colour starts again at the first page; no change stays put. The colour outlives the viewer.
TEST(ViewerScreen, BackgroundKeySwapsOnlyTwoAndSeven) {
    for (const int before : {2, 7, 5, 10, 13}) {
        SCOPED_TRACE(before);
        ViewerRun v(printable(9000));
        v.app.backgroundColour = before;
        const int after = before == 2 ? 7 : before == 7 ? 2 : before;
        v.script.ext(scan::Down).wait(300).key('b').wait(400).then([&] {
            EXPECT_EQ(std::tuple(v.cell(1, 1).bg, v.status()), std::tuple(after, after != before ? "Size 9000 Pos 2240" : "Size 9000 Pos 4480"));
        });
        v.script.key('B').wait(400).then([&] { EXPECT_EQ(v.cell(1, 1).bg, before); });
        v.script.key('b').wait(400);
        v.close();
        EXPECT_EQ(v.app.backgroundColour, after);
    }
}

TEST(ViewerScreen, WheelButtonsAndPad) {
    ViewerRun v(printable(2240 * 100));
    const auto pagesAre = [&](long long n) { v.script.wait(400).then([&, n] { EXPECT_EQ(v.pages(), n); }); };
    // Three notches towards the user between two polls page once; a hand's three over 50 ms span two passes.
    v.script.move(300, 200).wheel(-3, 0);
    pagesAre(2);
    v.script.wheel(-3);
    pagesAre(4);
    v.script.wheel(1);
    pagesAre(3);
    // End and Home, with either button (Down and Up: ClickOnce).
    v.script.ext(scan::Home).wait(300).click(kEndX, kRow30Y, 1);
    pagesAre(100);
    v.script.click(kHomeX, kRow30Y, 0);
    pagesAre(1);
    // Holding a button keeps paging; the right button pages faster.
    long long right = 0;
    v.script.move(kDownX, kRow30Y).down(1).wait(1000).up(1).wait(200).then([&] { right = v.pages() - 1; });
    v.script.ext(scan::Home).wait(300).move(kDownX, kRow30Y).down(0).wait(1000).up(0).wait(200).then([&] {
        EXPECT_TRUE(v.pages() - 1 >= 3 && right > v.pages() - 1 + 5) << right << " " << v.pages();
    });
    // A pad square moves the window and records the placement.
    const auto placed = [&] { return std::tuple(v.rig.presenter.position, v.app.placement); };
    v.script.click(612, 458, 0).wait(400).then([&] { EXPECT_EQ(placed(), std::tuple(Point{0, 0}, Placement::TopLeft)); });
    v.script.click(629, 474, 1).wait(400).then([&] { EXPECT_EQ(v.app.placement, Placement::BottomRight); });
    v.script.click(621, 466, 0).wait(400).then([&] { EXPECT_EQ(placed(), std::tuple(Point{100, 100}, Placement::Start)); });
    v.script.click(480, kRow30Y, 1);  // "Esc"
    EXPECT_EQ(runViewer(v.app), Next::Reload);
    EXPECT_EQ(v.app.selectedPath, v.dir.path);
}

TEST(ViewerScreen, ExpandedViewLabelsThePageOf2800Bytes) {
    for (const bool text : {false, true}) {
        ViewerRun v(printable(6000), true);
        v.app.formatLabelText = text;
        v.script.then([&] {
            EXPECT_EQ(v.status() + "|" + v.row(34).substr(1, 22) + "|" + v.row(35).substr(1, v.file.size()) + "|" + v.row(32).substr(44, 41) + "|" + v.row(37).substr(18, 10),
                      std::string("Size 6000 Pos 2800|") + (text ? "File in Text Format   " : "File in Binary Format ") + "|" + v.file +
                          "|Can use Mouse Wheel to scrool Up or Down.| Tarnwick ");
            EXPECT_EQ(v.cell(37, 6), (CellRead{'K', 8, 2}));
        });
        v.close();
        EXPECT_FALSE(v.app.formatLabelText);
    }
}
