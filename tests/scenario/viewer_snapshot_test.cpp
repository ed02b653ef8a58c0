// The viewer shows a file as it was when opened, never hangs on it, never adopts it as a terminal.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "app/exec_chooser.h"
#include "as_nobody.h"
#include "session.h"
#include "viewers/byte_source.h"
#include "viewers/open_file.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;
using namespace kestrel::test;

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
    const std::string big = d.file("big");
    std::filesystem::resize_file(big, kWholeReadLimit + 1);
    const auto onDemand = openForViewing(big);
    EXPECT_NE(dynamic_cast<FileByteSource*>(onDemand.get()), nullptr);
    EXPECT_EQ(onDemand->size(), kWholeReadLimit + 1);
    EXPECT_NE(dynamic_cast<MemoryByteSource*>(openForViewing(d.file("small", "x")).get()), nullptr);
    for (const auto& [bytes, bells] : {std::pair{std::string(2 << 20, '\a'), 1}, {"a\ab\a\nc\a", 1}, {"no bell", 0}}) {
        Rig rig;
        MemoryByteSource source(bytes);
        Pager p{rig.screen, source, 2};
        drawForward(p);
        EXPECT_EQ(std::pair(rig.presenter.bells, p.pos), std::pair(bells, source.size()));
    }
}

// A session leader without a terminal adopts the first one it opens without O_NOCTTY.
TEST(ViewerSnapshot, ATerminalIsNeverAdoptedAsControllingTerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    TempDir d;
    const std::string link = d.path + "/terminal";
    std::filesystem::create_symlink(ptsname(master), link);
    const pid_t child = fork();
    if (child == 0) {
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
    s.dir.file("a.bin", std::string(3000, 'A'));
    s.dir.file("b.bin", std::string(3000, 'B'));
    int flashes = 0, checks = 0;
    s.browse().ext(scan::Down).wait(300).key(ch::Enter).wait(1500).key(27).wait(1500);
    s.script.ext(scan::Down).wait(300).ext(scan::Down).wait(300).key(ch::Enter);
    for (int t = 0; t < 1500; t += 2)
        s.script.wait(2).then([&] {
            if (s.screen().visiblePage() == 1) ++checks, flashes += readCell(s.screen(), 1, 1, 1).ch == 'A';
        });
    s.script.then([&] { EXPECT_EQ(readCell(s.screen(), 1, 1, 1).ch, 'B'); }).key(27).wait(1500);
    EXPECT_EQ(s.quit(), 0);
    EXPECT_EQ(std::pair(checks > 100, flashes), std::pair(true, 0));
}

// A stale "executable" report with no fresh one written (read-only directory, or the test not run) views
// the file; cancelled with a key, the chooser rests 50 ms so the key's repeat is not taken, a click does not.
TEST(ViewerSnapshot, AStaleFileReportNeverDecidesAndTheChooserCancelRestsForKeysOnly) {
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
    for (const int cancel : {int('c'), 27, 0}) {
        Session s;
        s.runner.onShell = [&](const std::string&) { return s.programDir.file("ELF.txt", "ELF 64-bit LSB executable, x86-64\n"), 0; };
        s.app.selectedPath = s.dir.file("prog", "x");
        s.app.savedDirectoryPath = s.dir.path;
        const std::int64_t at = s.script.wait(500).move(100, 100).wait(500).time();
        cancel ? s.script.key(cancel) : s.script.click(xOfColumn(54), yOfRow(26));  // "Cancel"
        EXPECT_EQ(openFile(s.app), Next::Reload);
        const std::int64_t rest = s.rig.clock.nowMs() - at;
        EXPECT_EQ(std::tuple(s.app.selectedPath, rest >= (cancel ? 50 : 0), rest <= (cancel ? 60 : 10)), std::tuple(s.dir.path, true, true)) << cancel;
    }
}
