// The disks screen on recorded lsblk and df -h reports; mount and umount lines are only recorded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../unit/disks_golden.h"
#include "disks/disk_lines.h"
#include "disks/drive_report.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kSettle = 1500;
constexpr int kNotice = 3600;  // a three-second notice and the refresh after it

std::string text(Session& s, int row, size_t len) { return s.row(row).substr(1, len); }

// The disks screen opened with L over a directory holding "sub".
struct Disks : Session {
    explicit Disks(const std::string& machine, int bigSmall = 0) {
        dir.dir("sub");
        settings(bigSmall, 0, dir.path, 1);
        actAsMachine(runner, programDir.path, machine);
        script.wait(1000).key('l').wait(kSettle);
    }
    Script& downs(int n) {
        for (int i = 0; i < n; ++i) script.ext(scan::Down).wait(100);
        return script.wait(300);
    }
};

}  // namespace

TEST(DisksScreen, OpensOverTheBrowserAndGoesBackToItsDirectory) {
    Disks s("own_layout", 1);  // its screen is docs/pictures/disks.png
    // The window-position pad, 90 pixels right of and 50 below the browser's.
    s.script.click(703, 498).wait(300).then([&] {
        EXPECT_EQ(std::tuple(s.screen().pixel(0, 700, 495), s.screen().windowPosition()), std::tuple(12, s.app.targets[0]));
    });
    s.script.key('@').wait(300).then([&] { EXPECT_EQ(s.screen().windowPosition(), s.app.startPosition); });
    s.script.key(ch::Esc).wait(kSettle).then([&] {  // the disks pad is gone
        EXPECT_EQ(std::tuple(s.app.selectedPath, s.listName(2), s.app.activeScreen, s.screen().pixel(0, 700, 500)),
                  std::tuple(s.dir.path, "sub", 1, s.app.backgroundColour));
    });
    EXPECT_EQ(s.quit(), 0);
}

TEST(DisksScreen, MountUnmountAndViewRefuseAskOrAct) {
    // keys: the command key, then the answer if asked; row: where the notice or the question shows, 0 when View
    // opens `shown`; ran: the lines between the refresh on opening and the one after the notice or the answer.
    struct Case { const char* machine; int downs; const char* keys; int row; const char* shown; std::vector<std::string> ran; };
    const char *own = "own_layout", *disk = "Disks can not be Mounted only Partitions.", *none = "Nothing Selected", *primary = "Primary Partition";
    // Each refusal of both commands, each primary mount point (/boot, /init, /), each answer; the views of /init and an SD card.
    const Case cases[] = {
        {own, 0, "M", 25, disk, {}}, {own, 4, "u", 25, disk, {}}, {"no_disks", 0, "m", 25, none, {}}, {"no_disks", 0, "U", 25, none, {}},
        {own, 1, "U", 25, primary, {}}, {own, 2, "U", 25, primary, {}}, {"long_names", 2, "U", 25, primary, {}}, {own, 1, "M", 25, "Already Mounted", {}},
        {own, 5, "U", 25, "Already UnMounted", {}}, {own, 5, "My", 25, "mount /dev/sdb1 /mnt/sdb1", {"mkdir /mnt/sdb1", "mount /dev/sdb1 /mnt/sdb1"}},
        {"today", 3, "M*", 25, "mount /dev/nvme0n1p3 /mnt/nvme0n1p3", {"mkdir /mnt/nvme0n1p3", "mount /dev/nvme0n1p3 /mnt/nvme0n1p3"}},
        {"own_layout_mounted", 5, "uY", 25, "umount -l /dev/sdb1", {"umount -l /mnt/sdb1", "umount -l /dev/sdb1"}},
        {own, 5, "Mn", 25, "mount /dev/sdb1 /mnt/sdb1", {}}, {"long_names", 6, "u\x1b", 25, "umount -l /dev/sdaa10", {}},
        {own, 3, "\r", 27, "No Mount Point.", {}}, {"no_disks", 0, "\r", 27, "Nothing Selected.", {}}, {own, 2, "\r", 0, "/root", {}},  // [SWAP], /init
        {"today", 7, "\t", 0, "/media/ann/SD", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.machine) + " " + c.keys + " " + std::to_string(c.downs));
        Disks s(c.machine);
        const std::string shown = (c.keys[1] ? " ( Yes ) ( No ) " : "") + std::string(c.shown);
        // The working directory is "/", so that no listed partition is kept busy.
        s.downs(c.downs).then([&] { EXPECT_EQ(std::filesystem::current_path(), "/"); }).key(c.keys[0]).wait(600).then([&] {
            if (c.row) { EXPECT_EQ(text(s, c.row, shown.size()), shown); }
        });
        if (c.keys[1] == '*') s.script.click(xOfColumn(5), yOfRow(25));  // "( Yes )" clicked
        else if (c.keys[1]) s.script.key(c.keys[1]);
        s.script.wait(kNotice).then([&] {
            const auto refresh = refreshLines(s.programDir.path);
            std::vector<std::string> lines = refresh;
            lines.insert(lines.end(), c.ran.begin(), c.ran.end());
            if (c.row) lines.insert(lines.end(), refresh.begin(), refresh.end());
            EXPECT_EQ(s.runner.shellLines, lines);
        });
        if (c.row) s.script.key(ch::Esc).wait(kSettle);
        s.script.then([&] {
            EXPECT_EQ(std::tuple(s.app.selectedPath, s.app.startPathRequest, s.screen().visiblePage()), std::tuple(c.row ? s.dir.path : shown, false, 0));
        });
        EXPECT_EQ(s.quit(), 0);
    }
}

// A report of 1200 partitions lists 1000. A stale report is removed before each refresh, and a report that is
// no regular file (here a FIFO holding a good one) is "List not found.", as is what lies past 4 MiB.
TEST(DisksScreen, AThousandRowsWalkedNeverLeaveTheWindowAndAStaleReportIsNotFound) {
    Session s;
    s.settings(0, 0, s.dir.path, 1);
    std::string report = "- DRIVES\n" + std::string(kDrivesHeader) + "\n";
    for (int i = 1; i <= 1200; ++i) report += "sdz" + std::to_string(i) + " part  0\n";
    const std::string drives = s.programDir.file("drives.txt", "- DRIVES\nstale report\n");
    int fifo = -1;
    s.runner.onShell = [&](const std::string& line) {
        if (line.starts_with("lsblk ") && s.rig.clock.nowMs() > 5000) s.programDir.file("drives.txt", report);
        else if (line.starts_with("lsblk ") && mkfifo(drives.c_str(), 0600) == 0 && (fifo = open(drives.c_str(), O_RDWR)) >= 0) {
            EXPECT_EQ(write(fifo, report.data(), 4096), 4096);
        }
        return 0;
    };
    auto shows = [&](int line, int device) {
        const std::string shown = text(s, line + 4, 10);
        EXPECT_EQ(shown.substr(0, shown.find(' ')), "sdz" + std::to_string(device)) << line;
        EXPECT_EQ(s.cell(line + 4, 2).bg, 9) << line;
        EXPECT_EQ(s.cell(line == 1 ? 6 : 5, 2).bg, s.app.backgroundColour) << line;
    };
    s.script.wait(1000).key('L').wait(500).then([&] {
        EXPECT_EQ(std::tuple(text(s, 5, 15), s.cell(5, 2)), std::tuple("List not found.", CellRead{'L', 4, s.app.accentColour}));
    });
    s.script.wait(4000).then([&] {
        EXPECT_EQ(s.app.selectedPath, s.dir.path);
        close(fifo);
    });
    s.script.key('L').wait(kSettle).then([&] { EXPECT_EQ(s.row(29).substr(2, 13), " 1000 Found  "); });
    for (int i = 0; i < 19; ++i) s.script.ext(scan::Down).wait(80);
    s.script.wait(300).then([&] { shows(10, 20); });
    s.script.ext(scan::End).wait(300).then([&] { shows(10, 1000); });
    // Below the window and past the last row: nothing.
    s.script.ext(scan::Down).wait(300).click(xOfColumn(20), yOfRow(24)).click(xOfColumn(20), yOfRow(26)).click(xOfColumn(20), yOfRow(15)).wait(300);
    s.script.then([&] { shows(10, 1000); });
    s.script.click(xOfColumn(20), yOfRow(5)).wait(300).then([&] { shows(1, 991); });
    for (int i = 0; i < 3; ++i) s.script.ext(scan::Up).wait(80);
    s.script.wait(300).then([&] { shows(7, 988); });
    s.script.wheel(-1).wait(300).then([&] { shows(8, 989); });
    s.script.ext(scan::Home).wait(300).then([&] { shows(1, 1); });
    s.script.click(xOfColumn(79), yOfRow(23)).wait(300).then([&] { shows(19, 19); });  // the window's last line and column
    // Twenty rows, the 21st past 4 MiB: Down from line 18 onto the second-to-last row centres it on line 9.
    s.script.key(ch::Esc).wait(kSettle).then([&] {
        report.resize(report.find("sdz21 "));
        report += std::string((4u << 20) - report.size() - 1, ' ') + "\nsdz21 part  0\n";
    });
    s.script.key('L').wait(kSettle).then([&] { EXPECT_EQ(s.row(29).substr(2, 13), " 20 Found    "); });
    for (int i = 0; i < 18; ++i) s.script.ext(scan::Down).wait(80);
    s.script.wait(300).then([&] { shows(9, 19); });
    s.script.key(ch::Esc).wait(kSettle);
    EXPECT_EQ(s.quit(), 0);
}
