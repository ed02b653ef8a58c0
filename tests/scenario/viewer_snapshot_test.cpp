// The viewer shows a file as it was when opened, never hangs on it, never
// adopts it as a terminal and never flashes the previous file; the file test
// before it trusts only a fresh report.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/exec_chooser.h"
#include "as_nobody.h"
#include "session.h"
#include "viewers/byte_source.h"
#include "viewers/open_file.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int xOf(int col) { return col * 8 - 4; }
constexpr int yOf(int row) { return row * 16 - 8; }

std::string pattern(std::size_t size) {
    std::string s(size, ' ');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

}  // namespace

TEST(ViewerSnapshot, AFileUpTo64MiBIsShownAsItWasWhenOpened) {
    TempDir d;
    struct Case {
        const char* what;
        std::function<void(const std::string&)> change;
    };
    for (const Case& c : {Case{"rewritten", [](const std::string& p) { std::ofstream(p) << std::string(9000, 'Z'); }},
                          Case{"cut short", [](const std::string& p) { std::filesystem::resize_file(p, 100); }}}) {
        const std::string path = d.file("shown", pattern(9000));
        const auto source = openForViewing(path);
        c.change(path);
        Rig rig;
        Pager p{rig.screen, *source, 2};
        EXPECT_TRUE(lastPage(p)) << c.what;
        EXPECT_EQ(source->size(), 9000) << c.what;
        EXPECT_EQ(readText(rig.screen, 0, 28, 1, 80), pattern(9000).substr(9000 - 80)) << c.what;
    }
    // Larger files are read on demand, their size taken at open.
    const std::string big = d.path + "/big";
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, kWholeReadLimit + 1), 0);
    ::close(fd);
    const auto onDemand = openForViewing(big);
    EXPECT_NE(dynamic_cast<FileByteSource*>(onDemand.get()), nullptr);
    EXPECT_EQ(onDemand->size(), kWholeReadLimit + 1);
    EXPECT_NE(dynamic_cast<MemoryByteSource*>(openForViewing(d.file("small", "x")).get()), nullptr);
}

TEST(ViewerSnapshot, ABellSoundsAtMostOncePerPage) {
    struct Case {
        std::string bytes;
        int bells;
    };
    for (const Case& c : {Case{std::string(2 << 20, '\a'), 1}, {"a\ab\a\nc\a", 1}, {"no bell", 0}}) {
        Rig rig;
        MemoryByteSource source(c.bytes);
        Pager p{rig.screen, source, 2};
        drawForward(p);
        EXPECT_EQ(rig.presenter.bells, c.bells);
        EXPECT_EQ(p.pos, source.size());
    }
}

TEST(ViewerSnapshot, ATerminalIsNeverAdoptedAsControllingTerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    TempDir d;
    const std::string link = d.path + "/terminal";
    std::filesystem::create_symlink(ptsname(master), link);
    const pid_t child = fork();
    if (child == 0) {
        // A session leader without a terminal adopts the first one it opens
        // without O_NOCTTY.
        setsid();
        const auto source = openForViewing(link);
        const auto whole = MemoryByteSource::readWholeFile(link);
        FileByteSource onDemand(link);
        _exit(::open("/dev/tty", O_RDONLY | O_NOCTTY) < 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(master);
}

TEST(ViewerSnapshot, OpeningNeverShowsThePreviousFilesPage) {
    Session s;
    TempDir d;
    d.file("a.bin", std::string(3000, 'A'));
    d.file("b.bin", std::string(3000, 'B'));
    s.settings(0, 0, d.path, 1);
    bool openingB = false;
    int flashes = 0, checks = 0;
    s.script.wait(1000).ext(scan::Down).wait(300).key(ch::Enter).wait(1500).key(27).wait(1500);
    s.script.then([&] { openingB = true; }).ext(scan::Down).wait(300).ext(scan::Down).wait(300).key(ch::Enter);
    for (int t = 0; t < 1500; t += 2)
        s.script.wait(2).then([&] {
            if (s.screen().visiblePage() != 1) return;
            ++checks;
            flashes += openingB && readCell(s.screen(), 1, 1, 1).ch == 'A';
        });
    s.script.then([&] { EXPECT_EQ(readCell(s.screen(), 1, 1, 1).ch, 'B'); }).key(27).wait(1500).key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_GT(checks, 100);
    EXPECT_EQ(flashes, 0);
}

namespace {
bool chooserShown = false;
ExecChoice recordChooser(App&, const std::string&, bool*) {
    chooserShown = true;
    return ExecChoice::Cancel;
}
}  // namespace

TEST(ViewerSnapshot, AStaleFileReportNeverDecides) {
    // The previous report says "executable"; no fresh one is written (the
    // directory is read-only, or the test is not run): the file is viewed.
    for (const bool readOnlyDir : {false, true}) {
        const auto check = [&] {
            Session s;
            TempDir d;
            const std::string script = d.file("script", "#!/bin/sh\necho hi\n");
            s.programDir.file("ELF.txt", "ELF 64-bit LSB executable, x86-64\n");
            if (readOnlyDir) chmod(s.programDir.path.c_str(), 0555);
            s.app.selectedPath = script;
            s.app.savedDirectoryPath = d.path;
            s.script.wait(2000).key(27);
            chooserShown = false;
            openFile(s.app, recordChooser);
            chmod(s.programDir.path.c_str(), 0700);
            return chooserShown ? 1 : 0;
        };
        const int shown = readOnlyDir ? asNobody(check) : check();
        if (shown == kCannotDrop) GTEST_SKIP() << "cannot drop privileges to make the directory read-only";
        EXPECT_EQ(shown, 0) << (readOnlyDir ? "read-only directory" : "no fresh report");
    }
}

TEST(ViewerSnapshot, ChooserCancelRests50MsForKeysOnly) {
    struct Case {
        const char* what;
        std::function<void(Script&)> cancel;
        int minMs, maxMs;
    };
    for (const Case& c : {Case{"C key", [](Script& s) { s.key('c'); }, 50, 60},
                          Case{"Esc key", [](Script& s) { s.key(27); }, 50, 60},
                          Case{"Cancel label", [](Script& s) { s.click(xOf(54), yOf(26)); }, 0, 10}}) {
        Session s;
        TempDir d;
        s.runner.onShell = [&](const std::string&) {
            s.programDir.file("ELF.txt", "ELF 64-bit LSB executable, x86-64\n");
            return 0;
        };
        s.app.selectedPath = d.file("prog", "x");
        s.app.savedDirectoryPath = d.path;
        s.script.wait(500).move(100, 100);
        const std::int64_t at = s.script.wait(500).time();
        c.cancel(s.script);
        EXPECT_EQ(openFile(s.app), Next::Reload) << c.what;
        EXPECT_EQ(s.app.selectedPath, d.path) << c.what;
        EXPECT_GE(s.rig.clock.nowMs() - at, c.minMs) << c.what;
        EXPECT_LE(s.rig.clock.nowMs() - at, c.maxMs) << c.what;
    }
}
