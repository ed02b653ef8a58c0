// I in the browser: the report written by the real utilities the machine
// has (the lines of the others are only recorded), shown in the viewer.
#include <gtest/gtest.h>

#include "extern/quote.h"
#include "session.h"
#include "viewers/info_report.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kSettle = 1500;

bool installed(const std::string& line) {
    const std::string program = line.substr(0, line.find(' '));
    return RealRunner().runShell(commandLine({Arg::literal("command -v"), Arg::word(program), Arg::literal(">/dev/null")})) == 0;
}

// Runs the lines whose utility exists; records them all.
void runWhatExists(Session& s) {
    s.runner.onShell = [](const std::string& line) { return installed(line) ? RealRunner().runShell(line) : 0; };
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(InfoReport, TheLinesOfAnOrdinaryPathReadAsEver) {
    const std::vector<std::string> lines = reportLines("/home/ann/a.txt", "/opt/k/identify.txt");
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[0], "echo - FILE TYPE > /opt/k/identify.txt");
    EXPECT_EQ(lines[1], "file /home/ann/a.txt >> /opt/k/identify.txt");
    EXPECT_EQ(lines[3], "stat /home/ann/a.txt >> /opt/k/identify.txt");
    EXPECT_EQ(lines[9], "lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN >> /opt/k/identify.txt");
    EXPECT_EQ(lines[21], "dmidecode >> /opt/k/identify.txt");
}

TEST(InfoReport, FileAndDirectoryReportsInTheViewerAndASecondIReplacesTheFirst) {
    struct Case {
        const char* entry;
        bool directory;
        const char* fileSays;
    };
    for (const Case c : {Case{"notes.txt", false, "ASCII text"}, Case{"box", true, "directory"}}) {
        SCOPED_TRACE(c.entry);
        Session s;
        TempDir d;
        const std::string target = c.directory ? d.dir(c.entry) : d.file(c.entry, "plain words\n");
        const std::string report = s.programDir.path + "/identify.txt";
        runWhatExists(s);
        s.settings(1, 0, d.path, 1);
        for (int round = 0; round < 2; ++round) {
            s.script.wait(1000).ext(scan::Down).wait(150).key('i').wait(kSettle).then([&, round] {
                EXPECT_EQ(s.runner.shellLines.size(), 22u * (round + 1));
                EXPECT_EQ(s.screen().visiblePage(), 1);
                EXPECT_EQ(s.row(1).substr(0, 11), "- FILE TYPE");
                EXPECT_EQ(s.row(34).substr(1, 20), "File in Text Format ");
                const std::string text = s.programDir.read("identify.txt");
                EXPECT_EQ(count(text, "- FILE TYPE\n"), 1u);
                EXPECT_NE(text.find(target + ": " + c.fileSays), std::string::npos);
                EXPECT_NE(text.find("- File STAT\n  File: " + target + "\n"), std::string::npos);
                size_t at = 0;
                for (const char* heading : {"- OS", "- MENORY", "- DRIVES", "- SYSTEM DRIVE", "- CPU ARCH",
                                            "- CPU INFO", "- PCI INFO", "- USB INFO", "- DMI INFO"}) {
                    at = text.find(std::string("\n") + heading + "\n", at);
                    EXPECT_NE(at, std::string::npos) << heading;
                }
            });
            s.script.key(27).wait(kSettle).then([&] {
                EXPECT_EQ(s.screen().visiblePage(), 0);
                EXPECT_EQ(s.app.selectedPath, d.path);
            });
        }
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_EQ(std::vector<std::string>(s.runner.shellLines.begin(), s.runner.shellLines.begin() + 22),
                  reportLines(target, report));
    }
}

TEST(InfoReport, OnTheParentEntryAsksForAnEntryAndWritesNothing) {
    Session s;
    TempDir d;
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).key('I').wait(300).then([&] { EXPECT_EQ(s.row(27).substr(1, 25), "Pick a file or directory."); });
    s.script.wait(kSettle).key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_TRUE(s.runner.shellLines.empty());
    EXPECT_FALSE(std::filesystem::exists(s.programDir.path + "/identify.txt"));
}
