// Start-up from the settings file, Apply view, Save and exit, the help page, and clicks of a hand's length.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <functional>

#include "app/main_loop.h"
#include "fileops/buffer_commands.h"
#include "viewers/info_report.h"
#include "frame/state_dir.h"
#include "frame/text_file.h"
#include "as_nobody.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

bool helpShown(Session& s) { return s.screen().width() == 640 && s.row(2).substr(4, 23) == "Kestrel Ver. 1.1 - Help"; }

}  // namespace

// A first start (no settings file) as an ordinary user opens that user's home, not /root, in the defaults;
// b cycles the background; Esc writes the settings file.
TEST(StartUp, FirstStartAsAnOrdinaryUserOpensTheirHomeInTheDefaults) {
    const int faults = asNobody([] {
        TempDir home;
        home.file("notes.txt", "x");
        setenv("HOME", (home.path + "/").c_str(), 1);
        Session s;
        std::vector<int> seen;
        for (int i = 0; i < 5; ++i) s.script.wait(1200).then([&] { seen.push_back(s.cell(3, 2).bg); }).key(i < 4 ? 'b' : 27);
        const bool opened = s.run() == 0 && s.app.selectedPath == home.path && s.listName(2) == "notes.txt";
        const std::string cfg = s.programDir.read("Kestrel.cfg");
        return int(!opened) | (seen != std::vector<int>{2, 5, 13, 10, 2}) << 1 | (cfg != "0 BigSmall\n0 BackGround\n" + home.path + "\n1 SortList\n") << 2;
    });
    if (faults == kCannotDrop) GTEST_SKIP() << "cannot change user";
    EXPECT_EQ(faults, 0);
}

// A FIFO or a device never holds up the window; a path line holding a NUL lists no directory.
TEST(StartUp, OddSettingsFilesStartWithTheDefaults) {
    TempDir d;
    d.file("sub/inside", "x");
    const std::string cut = d.path + std::string("\0/sub", 5);
    const std::function<void(Session&)> cases[] = {
        [](Session& s) { mkfifo((s.programDir.path + "/Kestrel.cfg").c_str(), 0644); },
        [](Session& s) { std::filesystem::create_symlink("/dev/zero", s.programDir.path + "/Kestrel.cfg"); },
        [&](Session& s) { s.settings(0, 0, cut, 0); },  // and a stored sort of 0 reads as name order
    };
    for (int i = 0; i < 3; ++i) {
        Session s;
        s.readsOutside = true;
        cases[i](s);
        s.script.wait(1000).then([&] {
            EXPECT_EQ(std::tuple(s.app.selectedPath, i == 2 ? s.app.list.count : 1, s.app.SortList), std::tuple(i == 2 ? cut : "/root", 1, 1)) << i;
        });
        EXPECT_EQ(s.quit(), 0);
    }
}

// "Help" opens over the normal view where the pad put the window; M then places the expanded view for its size, in
// the date order and background of the settings file. Help closes on Esc, B, b and presses strictly inside BACK;
// the closing key never reaches the browser (Esc would end Kestrel, b cycle the background).
TEST(Help, ButtonAndF1OpenItEscBAndPressesStrictlyInsideBackCloseIt) {
    Session s;
    for (const auto& [name, when] : {std::pair{"newest", 1700000000}, {"oldest", 900000000}, {"middle", 1300000000}}) {
        const timespec times[2] = {{when, 0}, {when, 0}};
        utimensat(AT_FDCWD, s.dir.file(name, name).c_str(), times, 0);
    }
    s.settings(0, 3, "   " + s.dir.path + "   ", 4);
    Point placed;
    s.script.wait(1000).click(629, 464).wait(400).then([&] {
        placed = s.rig.presenter.position;
        EXPECT_EQ(std::pair(s.app.placement, placed), std::pair(Placement::BottomRight, Point{1920 - 640 - 5, 1080 - 300 - 216}));
    });
    s.script.ext(scan::Down).wait(300).click(588, 392).wait(800).then([&] {  // "Help", row 25
        ASSERT_TRUE(helpShown(s));
        EXPECT_EQ(s.rig.presenter.position, placed);
    });
    s.script.key('b').wait(900).then([&] {
        EXPECT_EQ(std::tuple(s.listName(2), s.app.cursorIndex, s.rig.presenter.position), std::tuple("oldest", 1, placed));
    });
    s.script.key('m').wait(1200).then([&] {
        EXPECT_EQ(std::tuple(s.screen().width(), s.screen().height(), s.rig.presenter.position, s.app.selectedPath),
                  std::tuple(800, 600, Point{1920 - 560 - 245, 1080 - 240 - 393}, s.dir.path));
        EXPECT_EQ(std::tuple(s.app.backgroundColour, s.app.accentColour, s.screen().palette()[10]), std::tuple(10, 2, Rgb{198, 141, 85}));
        EXPECT_EQ(s.rig.presenter.title + s.listName(2) + s.listName(3) + s.listName(4), "Kestreloldestmiddlenewest");
        EXPECT_EQ(s.cell(4, 62), (CellRead{'D', 0, 3}));  // the date header marked
    });
    // name ('-': does not close), key, or a click at x, y with button
    const std::tuple<const char*, int, int, int, int> closers[] = {
        {"Esc", 27, 0, 0, 0}, {"B", 'B', 0, 0, 0}, {"b", 'b', 0, 0, 0}, {"left inside", 0, 570, 443, 0}, {"right inside", 0, 627, 465, 1},
        {"-outline x 569", 0, 569, 450, 0}, {"-outline y 466", 0, 600, 466, 1}, {"-middle inside", 0, 600, 450, 2}, {"-other key", 'x', 0, 0, 0}};
    for (const auto& [name, key, x, y, bit] : closers) {
        const bool closes = name[0] != '-';
        s.script.ext(scan::F1).wait(800).then([&, name = name] { EXPECT_TRUE(helpShown(s)) << name; });
        key ? s.script.key(key) : s.script.click(x, y, bit);
        s.script.wait(900).then([&, name = name, closes] {
            EXPECT_EQ(std::tuple(helpShown(s), s.screen().width(), s.row(1).substr(27, 24) == "Select Directory or File"),
                      std::tuple(!closes, closes ? 800 : 640, closes)) << name;
        });
        if (!closes) s.script.key(27).wait(900);
    }
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(s.app.placement, Placement::BottomRight);
    EXPECT_EQ(s.programDir.read("Kestrel.cfg"), "1 BigSmall\n3 BackGround\n" + s.dir.path + "\n4 SortList\n");
}

// Each reload puts the pointer at (320,240), over entry 12. Every kind of hit area, each hold length somewhere.
TEST(ClickOnce, BrowserClicksActOnceWhereTheyWereMade) {
    // what, expanded view, x, y, button, hold, cursor before; then cursor, sort and Start Only after
    const std::tuple<const char*, int, int, int, int, int, int, std::array<int, 3>> cases[] = {
        {"Type header", 0, xOfColumn(41), yOfRow(4), 0, 50, 0, {1, 2, 0}},
        {"path line, first column", 0, xOfColumn(2), yOfRow(3), 0, 200, 3, {1, 1, 0}},
        {"Background, first column", 0, xOfColumn(32), yOfRow(25), 0, 100, 3, {1, 1, 0}},
        {"More, last column", 0, xOfColumn(21), yOfRow(25), 0, 50, 3, {1, 1, 0}},
        {"Start Only box", 1, 530, 555, 0, 200, 0, {1, 1, 1}},
        {"Start Only box, right", 1, 530, 555, 1, 100, 0, {1, 1, 0}},  // only the left button toggles it
        {"Down button", 0, xOfColumn(55), yOfRow(29), 0, 200, 3, {4, 1, 0}},
        {"Down button, right", 0, xOfColumn(55), yOfRow(29), 1, 100, 3, {4, 1, 0}},
        {"Up button", 0, xOfColumn(50), yOfRow(29), 0, 200, 3, {2, 1, 0}},
    };
    for (const auto& [what, bigSmall, x, y, bit, hold, before, after] : cases) {
        SCOPED_TRACE(std::string(what) + ", held " + std::to_string(hold));
        Session s;
        s.dir.numberedFiles(30);
        s.settings(bigSmall, 0, s.dir.path, 1);
        s.script.wait(1000);
        for (int i = 1; i < before; ++i) s.script.ext(scan::Down).wait(200);
        s.script.wait(300).click(x, y, bit, hold).wait(1500).then([&] {
            EXPECT_EQ((std::array{s.app.cursorIndex, s.app.SortList, s.app.search.startOnly}), after);
        });
        EXPECT_EQ(s.quit(), 0);
    }
}

// A press released before the pointer moves does not act where it goes next: right on the cursor row would
// open the entry, left on " X " would exit. Then the viewer's Down and Up buttons page once per click.
TEST(ClickOnce, AReleasedPressDoesNotActWhereThePointerGoesNextAndViewerButtonsPageOnce) {
    for (const int bit : {0, 1})
        for (const int hold : {50, 100, 200}) {
            SCOPED_TRACE(std::to_string(bit) + ", held " + std::to_string(hold));
            Session s;
            s.dir.file("pages.bin", std::string(2240 * 10, 'k'));
            const Point to = bit ? Point{xOfColumn(10), yOfRow(6)} : Point{xOfColumn(79), yOfRow(1)};
            s.browse().ext(scan::Down).wait(500);
            s.script.move(300, yOfRow(28)).down(bit).wait(hold).up(bit).wait(5).move(to.x, to.y).wait(1500).then([&] {
                EXPECT_EQ(std::pair(s.app.selectedPath, s.screen().visiblePage()), std::pair(s.dir.path, 0));
            });
            s.script.key(ch::Enter).wait(1500);
            for (const auto& [col, pos] : {std::pair{55, "4480"}, {55, "6720"}, {50, "4480"}})
                s.script.click(xOfColumn(col), yOfRow(30), bit, hold).wait(1000).then([&, pos = pos] {
                    EXPECT_EQ(s.row(30).substr(1, 19), std::string("Size 22400 Pos ") + pos);
                });
            s.script.key(27).wait(1000);
            EXPECT_EQ(s.quit(), 0);
            EXPECT_EQ(s.runner.shellLines.size(), 0u);
        }
}

// A shared install (root's program directory, which others cannot write) used by an ordinary user:
// the settings start from the shared file but for its path and are saved in the user's own state
// directory with every report and list; root's reports there are never shown nor changed.
TEST(StartUp, AnOrdinaryUserOfASharedInstallKeepsOwnSettingsAndSeesOnlyOwnReports) {
    TempDir top;
    chmod(top.path.c_str(), 0755);
    const std::string program = top.dir("lib/kestrel"), home = top.dir("home"), tree = top.dir("home/tree");
    const std::string rootCfg = "1 BigSmall\n3 BackGround\n/root/private\n4 SortList\n", secret = "root's secret\n";
    top.file("lib/kestrel/Kestrel.cfg", rootCfg);
    const char* reports[] = {"identify.txt", "drives.txt", "free.txt", "buffer.txt"};
    for (const char* r : reports) top.file(std::string("lib/kestrel/") + r, secret);
    top.file("home/tree/mine.txt", "mine");
    for (const auto& p : {home, tree, tree + "/mine.txt"}) ASSERT_EQ(chown(p.c_str(), 65534, 65534), 0);
    const std::string state = home + "/.local/state/kestrel";
    const int faults = asNobody([&] {
        const StateDir st = chooseStateDir(program, false, nullptr, home.c_str());
        Rig rig;
        RecordingRunner runner;
        runner.onShell = [](const std::string& line) { return RealRunner().runShell(line); };
        App app(rig.screen, st.dir, runner);
        app.defaultSettingsDir = program;
        startUp(app);
        int f = (st.dir != state) | (std::tuple(app.BigSmall, app.BackGround, app.SortList, app.selectedPath) !=
                                     std::tuple(1, 3, 4, std::string("/root"))) << 1;
        bool sawReport = false, sawSecret = false;
        const auto look = [&] {
            for (int r = 1; r <= rig.screen.rows(); ++r) {
                const std::string row = readRow(rig.screen, r);
                sawReport = sawReport || row.find("- FILE TYPE") != std::string::npos;
                sawSecret = sawSecret || row.find("root's") != std::string::npos;
            }
        };
        rig.script.wait(1000).ext(80).wait(300).key('i').wait(2000).then(look).key(27).wait(1000);
        rig.script.key('l').wait(2000).then(look).key(27).wait(1000).key('v').wait(1000).key(27);
        app.startPath = tree;
        startPathStep(app);
        f |= (!applyView(app) || mainLoop(app) != 0) << 2;
        // With no directory of its own, root's reports cannot be cleared: none is run, shown or opened.
        app.exeDir = program;
        const auto asked = runner.shellLines.size() + runner.programCalls.size();
        Script(rig.clock, rig.input, rig.clock.nowMs()).wait(1500).then(look).key(27);
        infoReport(app);
        viewBuffer(app);
        f |= (runner.shellLines.size() + runner.programCalls.size() != asked) << 5;
        return f | !sawReport << 3 | sawSecret << 4;
    });
    if (faults == kCannotDrop) GTEST_SKIP() << "cannot act as an ordinary user";
    EXPECT_EQ(faults, 0);
    struct stat st {};
    ASSERT_EQ(lstat(state.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(readTextFile(state + "/Kestrel.cfg"), "1 BigSmall\n3 BackGround\n" + tree + "\n4 SortList\n");
    EXPECT_NE(readTextFile(state + "/identify.txt").find("mine.txt"), std::string::npos);
    EXPECT_NE(readTextFile(state + "/drives.txt").find("- DRIVES"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(state + "/buffer.txt"));
    for (const char* r : reports) EXPECT_EQ(top.read(std::string("lib/kestrel/") + r), secret) << r;
    EXPECT_EQ(top.read("lib/kestrel/Kestrel.cfg"), rootCfg);
}
