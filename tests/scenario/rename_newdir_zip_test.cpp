// Rename (F), new directory ("/") and zip (F2) on real temporary
// directories with the real mv; the real zip stands in for the associated
// archiver, which no test machine has.
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

// mv, file and stat for real; the archiver as zip without wildcards of its
// own; the machine's report sections only recorded.
void runForReal(Session& s) {
    s.runner.onShell = [](const std::string& line) {
        for (const char* p : {"mv ", "echo ", "file ", "stat "})
            if (line.rfind(p, 0) == 0) return RealRunner().runShell(line);
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

TEST(Rename, NeverReplacesSwallowsOrMovesAnotherEntry) {
    struct Case {
        const char* entry;
        bool directory;
        const char* typed;
        int lastKey;
        const char* after;  // what the entry is called afterwards
    };
    // The entries that must stay put sort after the one renamed (entry 2).
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
        TempDir d;
        d.file(c.directory ? std::string(c.entry) + "/in" : c.entry, "1");
        d.file("x.txt", "keep");
        d.file("xd/in", "keep");
        fs::create_symlink(d.path + "/nowhere", d.path + "/xdead");
        runForReal(s);
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).ext(scan::Down).wait(150).key('f').wait(600).then([&] {
            EXPECT_NE(s.row(25).find(std::string("Rename ") + d.path + "/" + c.entry), std::string::npos);
        });
        s.script.keys(c.typed).key(c.lastKey).wait(kSettle).key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_EQ(entryNames(d.path), (std::set<std::string>{c.after, "x.txt", "xd", "xdead"}));
        EXPECT_EQ(entryNames(d.path + "/xd"), std::set<std::string>{"in"});
        EXPECT_EQ(d.read("x.txt"), "keep");
        EXPECT_EQ(s.runner.shellLines.size(), std::string(c.entry) != c.after);
    }
}

TEST(NewDirectory, MakesTheTypedNameOnlyWhenAccepted) {
    struct Case {
        const char* typed;
        int lastKey;  // 0: a press on " Exit " ends the prompt
        const char* made;
    };
    const Case cases[] = {{"new", ch::Enter, "new"}, {"abcdefghijklmnopqrstuvwxyz0", ch::Enter, "abcdefghijklmnopqrstuvwxyz"},
                          {"a/b", ch::Enter, "ab"},  {"-p", ch::Enter, "-p"},
                          {"new", ch::Esc, nullptr}, {"new", 0, nullptr}};
    const mode_t mask = ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Session s;
        TempDir d;
        d.file("old/in", "1");
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).key('/').wait(300).keys(c.typed);
        c.lastKey ? s.script.key(c.lastKey) : s.script.click(600, 10);
        s.script.wait(kSettle).then([&] { EXPECT_EQ(s.listName(2), c.made ? c.made : "old"); }).key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_EQ(entryNames(d.path).size(), c.made ? 2u : 1u);
        if (c.made) {
            EXPECT_EQ(fs::status(d.path + "/" + c.made).permissions(), fs::perms(0755));
        }
    }
    ::umask(mask);
}

TEST(Zip, ArchivesExactlyTheBufferedFilesAndEmptiesTheBuffer) {
    Session s;
    TempDir d;
    const std::vector<std::string> picked{d.file("my file.txt", "1"), d.file("say \"hi\"", "2")};
    d.file("not picked", "3");
    runForReal(s);
    s.settings(1, 0, d.path, 1);
    // An empty buffer still starts the archiver, with the archive path alone.
    s.script.wait(1000).ext(scan::F2).wait(kSettle).then([&] { pick(s.app, picked); });
    s.script.ext(scan::F2).wait(kSettle).then([&] { EXPECT_EQ(s.row(33).substr(94, 2), " 0"); }).key(27);
    EXPECT_EQ(s.run(), 0);
    const std::string archive = d.path + "/temp.zip";
    EXPECT_EQ(s.runner.programCalls, (std::vector<ProgramCall>{{std::string(kArchiver), {archive}},
                                                               {std::string(kArchiver), {archive, picked[0], picked[1]}}}));
    EXPECT_EQ(s.app.buffer.count, 0);
    RealRunner().runShell("unzip -Z1 " + archive + " > " + d.path + "/listing");
    EXPECT_EQ(d.read("listing"), picked[0].substr(1) + "\n" + picked[1].substr(1) + "\n");
}

// One session per name: the report on a file of that name in a directory
// of that name, then rename, new directory and zip there.
TEST(HostileNames, ReportRenameNewDirectoryAndZip) {
    for (const std::string& name : hostileNames()) {
        SCOPED_TRACE(name);
        Session s;
        TempDir d;
        const std::string dir = d.dir(name), file = d.file(name + "/" + name, "1");
        runForReal(s);
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).ext(scan::Down).wait(150).key(ch::Enter).wait(kSettle);
        s.script.ext(scan::Down).wait(150).key('i').wait(kSettle).key(27).wait(kSettle);
        s.script.ext(scan::Down).wait(150).key('f').wait(600).keys("renamed").key(ch::Enter).wait(kSettle);
        s.script.key('/').wait(300).keys("new").key(ch::Enter).wait(kSettle);
        s.script.then([&] { pick(s.app, {dir + "/renamed"}); }).ext(scan::F2).wait(kSettle).key(27);
        EXPECT_EQ(s.run(), 0);
        std::vector<std::string> lines = reportLines(file, s.programDir.path + "/identify.txt");
        lines.push_back(renameLine(file, "renamed"));
        EXPECT_EQ(s.runner.shellLines, lines);
        EXPECT_NE(s.programDir.read("identify.txt").find("- File STAT\n  File: "), std::string::npos);
        EXPECT_EQ(s.runner.programCalls,
                  (std::vector<ProgramCall>{{std::string(kArchiver), {dir + "/temp.zip", dir + "/renamed"}}}));
        EXPECT_EQ(entryNames(d.path), std::set<std::string>{name});
        EXPECT_EQ(entryNames(dir), (std::set<std::string>{"renamed", "new", "temp.zip"}));
        for (const auto& e : fs::recursive_directory_iterator(d.path)) EXPECT_NE(e.path().filename(), kCanary);
        EXPECT_FALSE(fs::exists(kCanary));
    }
}
