// Rename (F), new directory ("/"), zip (F2) and the I report on real
// temporary directories with the real mv, file and stat; the real zip stands
// in for the associated archiver, which no test machine has.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../unit/hostile_names.h"
#include "app/browser_draw.h"
#include "extern/programs.h"
#include "fileops/rename_entry.h"
#include "session.h"
#include "viewers/info_report.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

constexpr int kSettle = 1500;

// mv, file and stat for real (everything, with `all`); the archiver as zip
// without wildcards of its own; the machine's report sections only recorded.
void runForReal(Session& s, bool all = false) {
    s.runner.onShell = [all](const std::string& line) {
        for (const char* p : {"mv ", "echo ", "file ", "stat "})
            if (all || line.rfind(p, 0) == 0) return RealRunner().runShell(line);
        return 0;
    };
    s.runner.onProgram = [](const ProgramCall& call) {
        std::vector<std::string> args{"-q", "-nw"};
        args.insert(args.end(), call.args.begin(), call.args.end());
        return RealRunner().startProgram("/usr/bin/zip", args);
    };
}

// Picks as Q does (start-up empties the buffer, so call it afterwards).
void pick(App& app, const std::vector<std::string>& paths) {
    for (const std::string& p : paths) app.buffer.paths[++app.buffer.count] = p;
    drawBufferPanel(app, "Copy/Paste Buffer");
}

}  // namespace

TEST(Rename, TheLineQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(renameLine("/d/a.txt", "c.txt"), "mv /d/a.txt c.txt");
    EXPECT_EQ(renameLine("/d/my file.txt", "[b]"), "mv '/d/my file.txt' '[b]'");
    EXPECT_EQ(renameLine("/d/a", "-t.."), "mv /d/a ./-t..");
}

// The entries that must stay put sort after the one renamed (entry 2).
TEST(Rename, NeverReplacesSwallowsOrMovesAnotherEntry) {
    struct Case {
        const char* entry;
        bool directory;
        const char* typed;
        int lastKey;
        const char* after;  // what the entry is called afterwards
    };
    const Case cases[] = {
        {"my file.txt", false, "new.txt", ch::Enter, "new.txt"}, {"sub", true, "moved", ch::Enter, "moved"},
        {"a.txt", false, "x.txt", ch::Enter, "a.txt"},           {"a.txt", false, "xd", ch::Enter, "a.txt"},
        {"sub", true, "xd", ch::Enter, "sub"},                   {"a.txt", false, "xdead", ch::Enter, "a.txt"},
        {"a.txt", false, "..", ch::Enter, "a.txt"},              {"a.txt", false, "-t..", ch::Enter, "-t.."},
        {"a.txt", false, "-x", ch::Enter, "-x"},                 {"a.txt", false, "*`x`[", ch::Enter, "*`x`["},
        {"a.txt", false, "c.txt", ch::Esc, "a.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " -> " + c.typed);
        Session s;
        const TempDir& d = s.dir;
        d.file(c.directory ? std::string(c.entry) + "/in" : c.entry, "1");
        d.file("x.txt", "keep");
        d.file("xd/in", "keep");
        fs::create_symlink(d.path + "/nowhere", d.path + "/xdead");
        runForReal(s);
        s.browse().ext(scan::Down).wait(150).key('f').wait(600).then([&] {
            EXPECT_NE(s.row(25).find(std::string("Rename ") + d.path + "/" + c.entry), std::string::npos);
        });
        s.script.keys(c.typed).key(c.lastKey).wait(kSettle);
        EXPECT_EQ(s.quit(), 0);
        EXPECT_EQ(entryNames(d.path), (std::set<std::string>{c.after, "x.txt", "xd", "xdead"}));
        EXPECT_EQ(entryNames(d.path + "/xd"), std::set<std::string>{"in"});
        EXPECT_EQ(d.read("x.txt"), "keep");
        EXPECT_EQ(s.runner.shellLines.size(), std::string(c.entry) != c.after);
    }
}

// The name made has at most 26 characters, no slash, and mode 0755 under umask 022.
TEST(NewDirectory, MakesTheTypedNameOnlyWhenAccepted) {
    const std::tuple<const char*, int, const char*> cases[] = {  // typed, last key (0: a press on " Exit "), made
        {"new", ch::Enter, "new"}, {"abcdefghijklmnopqrstuvwxyz0", ch::Enter, "abcdefghijklmnopqrstuvwxyz"},
        {"a/b", ch::Enter, "ab"},  {"-p", ch::Enter, "-p"}, {"new", ch::Esc, nullptr}, {"new", 0, nullptr}};
    const mode_t mask = ::umask(022);
    for (const auto& [typed, lastKey, made] : cases) {
        SCOPED_TRACE(typed);
        Session s;
        s.dir.file("old/in", "1");
        s.browse().key('/').wait(300).keys(typed);
        lastKey ? s.script.key(lastKey) : s.script.click(600, 10);
        s.script.wait(kSettle).then([&, made = made] { EXPECT_EQ(s.listName(2), made ? made : "old"); });
        EXPECT_EQ(s.quit(), 0);
        EXPECT_EQ(entryNames(s.dir.path).size(), made ? 2u : 1u);
        if (made) {
            EXPECT_EQ(fs::status(s.dir.path + "/" + made).permissions(), fs::perms(0755));
        }
    }
    ::umask(mask);
}

// An empty buffer still starts the archiver, with the archive path alone.
TEST(Zip, ArchivesExactlyTheBufferedFilesAndEmptiesTheBuffer) {
    Session s;
    const std::vector<std::string> picked{s.dir.file("my file.txt", "1"), s.dir.file("say \"hi\"", "2")};
    s.dir.file("not picked", "3");
    runForReal(s);
    s.settings(1, 0, s.dir.path, 1);
    s.script.wait(1000).ext(scan::F2).wait(kSettle).then([&] { pick(s.app, picked); });
    s.script.ext(scan::F2).wait(kSettle).then([&] { EXPECT_EQ(s.row(33).substr(94, 2), " 0"); });
    EXPECT_EQ(s.quit(), 0);
    const std::string archive = s.dir.path + "/temp.zip";
    EXPECT_EQ(s.runner.programCalls, (std::vector<ProgramCall>{{std::string(kArchiver), {archive}},
                                                               {std::string(kArchiver), {archive, picked[0], picked[1]}}}));
    EXPECT_EQ(s.app.buffer.count, 0);
    RealRunner().runShell("unzip -Z1 " + archive + " > " + s.dir.path + "/listing");
    EXPECT_EQ(s.dir.read("listing"), picked[0].substr(1) + "\n" + picked[1].substr(1) + "\n");
}

// One session per name: the report on a file of that name in a directory
// of that name, then rename, new directory and zip there.
TEST(HostileNames, ReportRenameNewDirectoryAndZip) {
    for (const std::string& name : hostileNames()) {
        SCOPED_TRACE(name);
        Session s;
        const std::string dir = s.dir.dir(name), file = s.dir.file(name + "/" + name, "1");
        runForReal(s);
        s.browse().ext(scan::Down).wait(150).key(ch::Enter).wait(kSettle);
        s.script.ext(scan::Down).wait(150).key('i').wait(kSettle).key(27).wait(kSettle);
        s.script.ext(scan::Down).wait(150).key('f').wait(600).keys("renamed").key(ch::Enter).wait(kSettle);
        s.script.key('/').wait(300).keys("new").key(ch::Enter).wait(kSettle);
        s.script.then([&] { pick(s.app, {dir + "/renamed"}); }).ext(scan::F2).wait(kSettle);
        EXPECT_EQ(s.quit(), 0);
        std::vector<std::string> lines = reportLines(file, s.programDir.path + "/identify.txt");
        lines.push_back(renameLine(file, "renamed"));
        EXPECT_EQ(s.runner.shellLines, lines);
        EXPECT_NE(s.programDir.read("identify.txt").find("- File STAT\n  File: "), std::string::npos);
        EXPECT_EQ(s.runner.programCalls,
                  (std::vector<ProgramCall>{{std::string(kArchiver), {dir + "/temp.zip", dir + "/renamed"}}}));
        EXPECT_EQ(entryNames(s.dir.path), std::set<std::string>{name});
        EXPECT_EQ(entryNames(dir), (std::set<std::string>{"renamed", "new", "temp.zip"}));
        for (const auto& e : fs::recursive_directory_iterator(s.dir.path)) EXPECT_NE(e.path().filename(), kCanary);
        EXPECT_FALSE(fs::exists(kCanary));
    }
}

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
    const std::string targets[] = {s.dir.dir("box"), s.dir.file("notes.txt", "plain words\n")};
    runForReal(s, true);
    s.settings(1, 0, s.dir.path, 1);
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
        s.script.key(27).wait(1500).then([&] { EXPECT_EQ(s.app.selectedPath, s.dir.path); });
    }
    // A file opened with Enter afterwards is labelled binary again.
    s.dir.file("zdata", "x");
    s.script.wait(1000).ext(scan::Down).wait(150).ext(scan::Down).wait(150).ext(scan::Down).wait(150).key(ch::Enter);
    s.script.wait(1500).then([&] { EXPECT_EQ(s.row(34).substr(1, 22), "File in Binary Format "); }).key(27).wait(1500);
    EXPECT_EQ(s.quit(), 0);
}
