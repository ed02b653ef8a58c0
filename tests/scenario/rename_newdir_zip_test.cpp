// Rename (F), new directory ("/") and zip (F2) on real temporary
// directories, with the real mv and, standing in for the associated
// archiver that no test machine has, the real zip.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "app/browser_draw.h"
#include "app/main_loop.h"
#include "extern/programs.h"
#include "extern/quote.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

constexpr int kSettle = 1500;

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

// The list index the browser gives `name` in `dir`, sorted by name.
int entryIndex(const std::string& dir, const std::string& name) {
    Input input;
    VirtualClock clock{input};
    DirList list;
    loadDirectory(list, dir, 1, clock);
    for (int i = 1; i <= list.count; ++i)
        if (list.name(i) == name) return i;
    return -1;
}

void cursorTo(Session& s, const std::string& dir, const std::string& name) {
    const int index = entryIndex(dir, name);
    for (int i = 1; i < index; ++i) s.script.ext(scan::Down).wait(150);
}

// mv for real, the archiver as zip (no wildcards of its own, quiet).
void runForReal(Session& s) {
    s.runner.onShell = [](const std::string& line) { return RealRunner().runShell(line); };
    s.runner.onProgram = [](const ProgramCall& call) {
        std::vector<std::string> args{"-q", "-nw"};
        args.insert(args.end(), call.args.begin(), call.args.end());
        return RealRunner().startProgram("/usr/bin/zip", args);
    };
}

// Picks as Q would (the buffer is filled after start-up, which empties it).
void pick(CopyKillBuffer& buffer, const std::vector<std::string>& paths) {
    for (const std::string& p : paths) {
        ++buffer.count;
        buffer.paths[buffer.count] = p;
        buffer.rows[buffer.count] = p;
    }
}

}  // namespace

TEST(Rename, NeverReplacesSwallowsOrMovesAnotherEntry) {
    struct Case {
        const char* entry;
        bool directory;
        const char* typed;
        int lastKey;
        std::set<std::string> after;  // besides the untouched entries b.txt, d, dead
        bool ran;
    };
    const Case cases[] = {
        {"my file.txt", false, "new.txt", ch::Enter, {"new.txt"}, true},
        {"sub", true, "moved", ch::Enter, {"moved"}, true},
        {"a.txt", false, "b.txt", ch::Enter, {"a.txt"}, false},  // an existing file
        {"a.txt", false, "d", ch::Enter, {"a.txt"}, false},      // an existing directory
        {"sub", true, "d", ch::Enter, {"sub"}, false},
        {"a.txt", false, "dead", ch::Enter, {"a.txt"}, false},   // a dangling link
        {"a.txt", false, "..", ch::Enter, {"a.txt"}, false},
        {"a.txt", false, "a.txt", ch::Enter, {"a.txt"}, false},
        {"a.txt", false, "-t..", ch::Enter, {"-t.."}, true},
        {"a.txt", false, "-x", ch::Enter, {"-x"}, true},
        {"a.txt", false, "*", ch::Enter, {"*"}, true},
        {"a.txt", false, "[b]`x`", ch::Enter, {"[b]`x`"}, true},
        {"a.txt", false, "c.txt", ch::Esc, {"a.txt"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.entry) + " -> " + c.typed);
        Session s;
        TempDir d;
        d.file(c.directory ? std::string(c.entry) + "/inner" : c.entry, "payload");
        d.file("b.txt", "keep");
        d.file("d/inside", "keep");
        fs::create_symlink(d.path + "/nowhere", d.path + "/dead");
        runForReal(s);
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000);
        cursorTo(s, d.path, c.entry);
        s.script.key('f').wait(600).then([&] {
            EXPECT_EQ(s.screen().visiblePage(), 2);
            EXPECT_NE(s.row(25).find("Rename " + d.path + "/" + c.entry), std::string::npos);
        });
        s.script.keys(c.typed).key(c.lastKey).wait(kSettle).then([&] {
            std::set<std::string> expected = c.after;
            expected.insert({"b.txt", "d", "dead"});
            EXPECT_EQ(namesIn(d.path), expected);
            EXPECT_EQ(namesIn(d.path + "/d"), std::set<std::string>{"inside"});
            EXPECT_EQ(d.read("b.txt"), "keep");
            EXPECT_EQ(s.runner.shellLines.size(), c.ran ? 1u : 0u);
            EXPECT_EQ(s.screen().visiblePage(), 0);
            EXPECT_EQ(s.app.selectedPath, d.path);
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
    }
}

TEST(Rename, TheOrdinaryLineIsPlainMv) {
    Session s;
    TempDir d;
    d.file("a.txt", "x");
    runForReal(s);
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).ext(scan::Down).wait(150).key('F').wait(600).keys("c.txt").click(240, 452).wait(kSettle);
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(s.runner.shellLines, std::vector<std::string>{"mv " + d.path + "/a.txt c.txt"});
    EXPECT_EQ(namesIn(d.path), std::set<std::string>{"c.txt"});
}

TEST(NewDirectory, MakesTheTypedNameOnlyWhenAccepted) {
    struct Case {
        const char* typed;
        bool clickExit;  // end with a press on " Exit " rather than a key
        int lastKey;
        const char* made;  // nullptr: nothing new
    };
    const Case cases[] = {
        {"new", false, ch::Enter, "new"},
        {"abcdefghijklmnopqrstuvwxyz0", false, ch::Enter, "abcdefghijklmnopqrstuvwxyz"},
        {"a/b", false, ch::Enter, "ab"},
        {"-p", false, ch::Enter, "-p"},
        {"new", false, ch::Esc, nullptr},
        {"new", true, 0, nullptr},
        {"old", false, ch::Enter, nullptr},  // already there: left as it was
    };
    const mode_t mask = ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        bool checked = false;  // a press on " Exit " must not end Kestrel
        Session s;
        TempDir d;
        d.file("old/keep", "x");
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).key('/').wait(300).then([&] {
            EXPECT_EQ(s.row(25).substr(11, 17), " New Directory > ");
        });
        s.script.keys(c.typed);
        if (c.clickExit) s.script.click(600, 10);
        else s.script.key(c.lastKey);
        s.script.wait(kSettle).then([&] {
            std::set<std::string> expected{"old"};
            if (c.made) expected.insert(c.made);
            EXPECT_EQ(namesIn(d.path), expected);
            EXPECT_EQ(namesIn(d.path + "/old"), std::set<std::string>{"keep"});
            if (c.made) {
                EXPECT_EQ(fs::status(d.path + "/" + c.made).permissions(), fs::perms(0755));
                EXPECT_EQ(s.listName(2), c.made);
            }
            EXPECT_EQ(s.app.selectedPath, d.path);
            checked = true;
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_TRUE(checked);
    }
    ::umask(mask);
}

TEST(Zip, ArchivesExactlyTheBufferedFilesAndEmptiesTheBuffer) {
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full);
        Session s;
        TempDir d;
        const std::vector<std::string> picked{d.file("my file.txt", "1"), d.file("say \"hi\"", "2"), d.file("c", "3")};
        d.file("not picked", "4");
        runForReal(s);
        s.settings(1, 0, d.path, 1);
        s.script.wait(1000).then([&] {
            if (full) pick(s.app.buffer, picked);
            drawBufferPanel(s.app, "Copy/Paste Buffer");
            EXPECT_EQ(s.row(33).substr(94, 2), full ? " 3" : " 0");
        });
        s.script.ext(scan::F2).wait(kSettle).then([&] {
            EXPECT_EQ(s.app.buffer.count, 0);
            EXPECT_EQ(s.row(33).substr(94, 2), " 0");
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
        std::vector<std::string> args{d.path + "/temp.zip"};
        if (full) args.insert(args.end(), picked.begin(), picked.end());
        EXPECT_EQ(s.runner.programCalls, (std::vector<ProgramCall>{{std::string(kArchiver), args}}));
        EXPECT_EQ(fs::exists(d.path + "/temp.zip"), full);
        if (!full) continue;
        d.file("listing", "");
        RealRunner().runShell(commandLine({Arg::literal("unzip -Z1"), Arg::word(d.path + "/temp.zip"),
                                           Arg::literal(">"), Arg::word(d.path + "/listing")}));
        std::string expected;
        for (const std::string& p : picked) expected += p.substr(1) + "\n";
        EXPECT_EQ(d.read("listing"), expected);
    }
}
