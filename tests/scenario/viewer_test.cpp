// The viewer as a person uses it, and a file shown as it was when opened.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>

#include "as_nobody.h"
#include "session.h"
#include "viewers/viewer.h"
#include "viewers/byte_source.h"
#include "viewers/open_file.h"
#include "viewers/viewer_paging.h"

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

constexpr int kRow30Y = 474, kDownX = 440, kHomeX = 516, kEndX = 580;  // Home's first column, End's last

}  // namespace

TEST(ViewerScreen, OpensOnTheFirstPageAndEscGoesBackToTheDirectory) {
    ViewerRun v(printable(5000));
    // The last page starts at byte 2761, so Up from it shows the page ending at 2760.
    const std::tuple<int, std::int64_t, size_t> steps[] = {{scan::Down, 4480, 2240}, {scan::Down, 5000, 4480}, {scan::Down, 5000, 4480},
                                                           {scan::Home, 2240, 0},    {scan::End, 5000, 2760},  {scan::Up, 2760, 520},
                                                           {scan::Up, 2240, 0},      {scan::Up, 2240, 0}};
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

TEST(ViewerScreen, WheelButtonsAndPad) {
    ViewerRun v(printable(2240 * 100));
    const auto pagesAre = [&](long long n) { v.script.wait(400).then([&, n] { EXPECT_EQ(v.pages(), n); }); };
    // Three notches towards the user between two polls page once; a hand's three over 50 ms span two passes.
    v.script.move(300, 200).wheel(-3, 0);
    pagesAre(2);
    v.script.wheel(-3);
    pagesAre(4);
    v.app.backgroundColour = 5;  // the second colour choice: B swaps only backgrounds 2 and 7 and leaves this page
    v.script.wheel(1).wait(100).key('b');
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
    // A pad square (10 pixels lower than the browser's) moves the window and records the placement.
    const auto placed = [&] { return std::tuple(v.rig.presenter.position, v.app.placement); };
    v.script.click(612, 458, 0).wait(400).then([&] { EXPECT_EQ(placed(), std::tuple(Point{0, 0}, Placement::TopLeft)); });
    v.script.click(621, 466, 0).wait(400).then([&] { EXPECT_EQ(placed(), std::tuple(Point{100, 100}, Placement::Start)); });
    v.script.click(480, kRow30Y, 1);  // "Esc"
    EXPECT_EQ(runViewer(v.app), Next::Reload);
    EXPECT_EQ(v.app.selectedPath, v.dir.path);
}

TEST(ViewerScreen, ExpandedViewLabelsThePageOf2800Bytes) {
    ViewerRun v(printable(6000), true);
    v.app.formatLabelText = true;  // the format label's words: the info report scenario
    v.script.then([&] { EXPECT_EQ(v.status() + "|" + v.row(35).substr(1, v.file.size()), "Size 6000 Pos 2800|" + v.file); });
    v.close();
    EXPECT_FALSE(v.app.formatLabelText);
}

TEST(ViewerSnapshot, AFileUpTo64MiBIsShownAsItWasWhenOpenedAndBellsRingOncePerPage) {
    TempDir d;
    std::string pattern(9000, ' ');
    for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>('a' + i % 26);
    for (const bool rewrite : {true, false}) {
        const std::string path = d.file("shown", pattern);
        const auto source = openForViewing(path);
        rewrite ? (void)d.file("shown", std::string(9000, 'Z')) : std::filesystem::resize_file(path, 100);
        Rig rig;
        Pager p{rig.screen, *source, 2};
        EXPECT_TRUE(lastPage(p));
        EXPECT_EQ(std::pair(source->size(), readRow(rig.screen, 28)), std::pair(std::int64_t{9000}, pattern.substr(9000 - 80))) << rewrite;
    }
    const std::string big = d.file("big"), edge = d.file("edge");  // exactly 64 MiB is still read whole
    std::filesystem::resize_file(big, kWholeReadLimit + 1);
    std::filesystem::resize_file(edge, kWholeReadLimit);
    const auto onDemand = openForViewing(big);
    EXPECT_TRUE(dynamic_cast<FileByteSource*>(onDemand.get()) && onDemand->size() == kWholeReadLimit + 1);
    EXPECT_NE(dynamic_cast<MemoryByteSource*>(openForViewing(edge).get()), nullptr);
    for (const auto& [bytes, bells] : {std::pair{std::string(2 << 20, '\a'), 1}, {"a\ab\a\nc\a", 1}, {"no bell", 0}}) {
        Rig rig;
        MemoryByteSource source(bytes);
        Pager p{rig.screen, source, 2};
        drawForward(p);
        EXPECT_EQ(std::pair(rig.presenter.bells, p.pos), std::pair(bells, source.size()));
    }
}

// A stale "executable" report (the directory read-only, or no fresh one written) never decides: the script is viewed.
TEST(ViewerSnapshot, AStaleFileReportNeverDecides) {
    static bool chooserShown;
    for (const bool readOnlyDir : {false, true}) {
        const auto check = [&] {
            Session s;
            s.programDir.file("ELF.txt", "ELF 64-bit LSB executable, x86-64\n");
            if (readOnlyDir) chmod(s.programDir.path.c_str(), 0555);
            s.app.selectedPath = s.dir.file("script", "#!/bin/sh\necho hi\n");
            s.app.savedDirectoryPath = s.dir.path;
            s.script.wait(2000).key(27);
            chooserShown = false;
            openFile(s.app, [](App&, const std::string&, bool*) { return chooserShown = true, ExecChoice::Cancel; });
            chmod(s.programDir.path.c_str(), 0700);
            return chooserShown ? 1 : 0;
        };
        const int shown = readOnlyDir ? asNobody(check) : check();
        EXPECT_TRUE(shown == 0 || shown == kCannotDrop) << readOnlyDir;
    }
}

TEST(ViewerSnapshot, ATerminalIsNeverAdoptedAsControllingTerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    TempDir d;
    const std::string link = d.path + "/terminal";
    std::filesystem::create_symlink(ptsname(master), link);
    if (fork() == 0) {
        setsid();  // a session leader without a terminal adopts the first one opened without O_NOCTTY
        const auto source = openForViewing(link);
        const auto whole = MemoryByteSource::readWholeFile(link);
        FileByteSource onDemand(link);
        _exit(::open("/dev/tty", O_RDONLY | O_NOCTTY) < 0 ? 0 : 1);
    }
    int status = 0;
    EXPECT_TRUE(wait(&status) > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(master);
}
