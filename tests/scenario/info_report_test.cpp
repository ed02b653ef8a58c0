// I in the browser: the report written by the machine's real utilities and
// shown in the viewer as text.
#include <gtest/gtest.h>

#include "session.h"
#include "viewers/info_report.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(InfoReport, TheLinesOfAnOrdinaryPathReadAsEver) {
    const std::vector<std::string> lines = reportLines("/home/ann/a.txt", "/opt/k/identify.txt");
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[0], "echo - FILE TYPE > /opt/k/identify.txt");
    EXPECT_EQ(lines[3], "stat /home/ann/a.txt >> /opt/k/identify.txt");
    EXPECT_EQ(lines[9], "lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN >> /opt/k/identify.txt");
}

// A directory, then a file: the second report replaces the first. A utility
// the machine lacks leaves its section empty and the rest still runs.
TEST(InfoReport, ADirectoryThenAFileInTheViewer) {
    Session s;
    TempDir d;
    const std::string targets[] = {d.dir("box"), d.file("notes.txt", "plain words\n")};
    s.runner.onShell = [](const std::string& line) { return RealRunner().runShell(line); };
    s.settings(1, 0, d.path, 1);
    for (int round = 0; round < 2; ++round) {
        s.script.wait(1000);
        for (int i = 0; i <= round; ++i) s.script.ext(scan::Down).wait(150);
        s.script.key('i').wait(1500).then([&, round] {
            const std::string& target = targets[round];
            EXPECT_EQ(s.runner.shellLines, reportLines(target, s.programDir.path + "/identify.txt"));
            s.runner.shellLines.clear();
            EXPECT_EQ(s.row(1).substr(0, 12), "- FILE TYPE ");
            EXPECT_EQ(s.row(34).substr(1, 20), "File in Text Format ");
            const std::string text = s.programDir.read("identify.txt");
            EXPECT_EQ(text.rfind("- FILE TYPE\n" + target + ": " + (round ? "ASCII text" : "directory"), 0), 0u);
            EXPECT_NE(text.find("- File STAT\n  File: " + target + "\n"), std::string::npos);
            size_t at = 0;
            for (const char* heading : {"- OS", "- MENORY", "- DRIVES", "- SYSTEM DRIVE", "- CPU ARCH", "- CPU INFO",
                                        "- PCI INFO", "- USB INFO", "- DMI INFO"})
                EXPECT_NE(at = text.find(std::string("\n") + heading + "\n", at), std::string::npos) << heading;
        });
        s.script.key(27).wait(1500).then([&] { EXPECT_EQ(s.app.selectedPath, d.path); });
    }
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}
