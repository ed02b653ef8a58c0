// Opening a file picked in the browser: the associated program of its
// extension, the executable test with the real `file`, the chooser, the
// viewer, and names that must reach the program as one argument.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../unit/hostile_names.h"
#include "extern/quote.h"
#include "session.h"
#include "viewers/open_file.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

std::vector<std::string> offered;  // the paths the chooser was shown for; it cancels

// Opens `path` from the session's directory; the script closes a viewer, if one opens, with Esc.
Next open(Session& s, const std::string& path, bool viewerExpected = true) {
    s.app.selectedPath = path;
    s.app.savedDirectoryPath = s.dir.path;
    if (viewerExpected) s.script.wait(2000).key(27);
    return openFile(s.app, [](App&, const std::string& p, bool*) { return offered.push_back(p), ExecChoice::Cancel; });
}
std::string workRow(Session& s, int r) { return readText(s.screen(), s.screen().workPage(), r, 1, 80); }
void runShellForReal(Session& s) {
    s.runner.onShell = [](const std::string& line) { return RealRunner().runShell(line); };
}

}  // namespace

// The program runs first, its waiting text shown, then the viewer shows the file.
TEST(OpenFile, ExtensionGroupsRunTheirProgramThenTheViewer) {
    for (const auto& [name, shown, program] :
         {std::array<std::string, 3>{"notes.TXT", "defaulttexteditor ", "/usr/local/bin/defaulttexteditor "},
          {"movie.h264", "defaultmediaplayer ", "/usr/local/bin/defaultmediaplayer "},
          {"archive.tar.gz", "defaultarchiver ", "/usr/local/bin/defaultarchiver "},
          {"REPORT.PDF", "defaultpdfviewer ", "/usr/local/bin/defaultpdfviewer "}, {"song.ogg", "aplay audio ", "aplay "}}) {
        SCOPED_TRACE(name);
        Session s;
        const std::string path = s.dir.file(name, "contents");
        bool viewerWasOpen = true;
        s.runner.onShell = [&](const std::string&) {
            viewerWasOpen = s.screen().visiblePage() == 1;
            EXPECT_EQ(workRow(s, 27).substr(49, 29), "Waiting for program to close.");
            EXPECT_EQ(readCell(s.screen(), 0, 27, 50), (CellRead{'W', 1, 2}));
            EXPECT_EQ(workRow(s, 27).substr(1, shown.size()), shown);
            EXPECT_EQ(workRow(s, 28).substr(1, path.size()), path);
            return 0;
        };
        EXPECT_EQ(open(s, path), Next::Reload);
        EXPECT_FALSE(viewerWasOpen);
        EXPECT_EQ(s.runner.shellLines, std::vector<std::string>{program + path});
        EXPECT_EQ(s.app.previousPath, path);  // the viewer showed it
        EXPECT_EQ(s.app.selectedPath, s.dir.path);
        EXPECT_EQ(readText(s.screen(), 0, 27, 50, 29), std::string(29, ' '));  // blanked once the program closed
    }
}

// Unknown extensions, a dotted directory, a position-independent program, a
// shell script and a name that reads like `file`'s description go straight
// to the viewer; only a classic executable is offered the chooser.
TEST(OpenFile, OnlyNonPieExecutablesAreOfferedTheChooser) {
    enum Kind { Data, Pie, NoPie, Script };
    const std::pair<const char*, Kind> cases[] = {{"data.xyz", Data},   {"my.dir/README", Data}, {"modern", Pie},
                                                  {"classic", NoPie},   {"ELF LSB executable", Script}};
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        offered.clear();
        Session s;
        runShellForReal(s);
        const std::string path = s.dir.path + "/" + name;
        if (kind == Pie || kind == NoPie) ASSERT_TRUE(compileProgram(s.dir, path, 0, kind == Pie));
        else s.dir.file(name, kind == Script ? "#!/bin/sh\necho hi\n" : "x");
        EXPECT_EQ(open(s, path, kind != NoPie), Next::Reload);
        const std::string report = s.programDir.read("ELF.txt");
        EXPECT_EQ(s.runner.shellLines, kind == Data ? std::vector<std::string>{}
                                                    : std::vector{"file -b " + shellQuote(path) + " > " + s.programDir.path + "/ELF.txt"});
        EXPECT_EQ(describesExecutable(report), kind == NoPie) << report;
        EXPECT_EQ(offered, kind == NoPie ? std::vector<std::string>{path} : std::vector<std::string>{});
        // Cancelled: back in the directory, the viewer never opened.
        EXPECT_EQ(s.app.previousPath, kind == NoPie ? "" : path);
        EXPECT_EQ(s.app.selectedPath, s.dir.path);
    }
}

TEST(OpenFile, HostileNamesReachTheProgramAsOneArgument) {
    TempDir work;  // the shell's working directory, where a canary would land
    const std::string editor = work.file("editor", "#!/bin/sh\nprintf '%s\\n' \"$#\" > \"$0.out\"\nprintf '%s' \"$1\" >> \"$0.out\"\n");
    ASSERT_EQ(chmod(editor.c_str(), 0755), 0);
    const std::string prefix = "/usr/local/bin/defaulttexteditor ";
    for (std::string name : hostileNames()) {
        if ((name += ".txt").size() > 255) continue;
        SCOPED_TRACE(name);
        Session s;
        const std::string path = s.dir.file(name, "x");
        ASSERT_TRUE(std::filesystem::exists(path));
        s.runner.onShell = [&](const std::string& line) {
            EXPECT_EQ(line, prefix + shellQuote(path));
            return RealRunner().runShell(commandLine({Arg::literal("cd"), Arg::word(work.path), Arg::literal("&&"),
                                                      Arg::word(editor), Arg::literal(line.substr(prefix.size()))}));
        };
        open(s, path);
        EXPECT_EQ(work.read("editor.out"), "1\n" + path);
        EXPECT_FALSE(std::filesystem::exists(work.path + "/" + kCanary));
        EXPECT_FALSE(std::filesystem::exists(s.dir.path + "/" + kCanary));
        std::filesystem::remove(work.path + "/editor.out");
    }
}

// Enter on a classic executable in the browser: the chooser over the list,
// then View, Run (a failure reported on virtual time), C or Esc.
TEST(OpenFile, TheExecutableChooserViewsRunsOrCancels) {
    struct Case {
        int key, status;
        bool viewed, ran;
    };
    for (const Case c : {Case{'v', 0, true, false}, {'R', 0, false, true}, {'R', 3, false, true}, {'c', 0, false, false},
                         {27, 0, false, false}}) {
        SCOPED_TRACE(std::to_string(c.key) + " " + std::to_string(c.status));
        Session s;
        const std::string prog = s.dir.path + "/tool";
        ASSERT_TRUE(compileProgram(s.dir, prog, c.status));
        runShellForReal(s);
        s.runner.onProgram = [&](const ProgramCall& call) {
            EXPECT_EQ(workRow(s, 29).find("Executable running, will resume when it is closed."), 14u);
            return RealRunner().startProgram(call.program, call.args);
        };
        s.browse().ext(scan::Down).wait(300).key(13).wait(1500).then([&] {
            EXPECT_EQ(s.screen().visiblePage(), 2);
            EXPECT_NE(s.row(26).find(" View file "), std::string::npos);
        });
        const std::int64_t answered = s.script.time();
        s.script.key(c.key).wait(c.status ? 300 : 1500).then([&] {
            EXPECT_EQ(s.runner.programCalls.size(), c.ran ? 1u : 0u);
            if (c.ran) {
                EXPECT_EQ(s.runner.programCalls[0], (ProgramCall{prog, {}}));
            }
            if (c.status) {
                EXPECT_NE(s.row(29).find("Error: unable to run program."), std::string::npos);
                EXPECT_EQ(s.cell(29, 25), (CellRead{'E', 4, 15}));
            } else {
                EXPECT_EQ(s.screen().visiblePage(), c.viewed ? 1 : 0);
                EXPECT_EQ(s.app.selectedPath, c.viewed ? prog : s.dir.path);
            }
        });
        if (c.viewed) s.script.key(27).wait(1500);
        s.script.wait(c.status ? 4500 : 0);
        s.script.then([&] {
            EXPECT_EQ(s.app.selectedPath, s.dir.path);
            EXPECT_EQ(s.app.previousPath, c.viewed ? prog : "");
            EXPECT_EQ(s.listName(2), "tool");
            EXPECT_GE(s.rig.clock.nowMs() - answered, c.status ? 4000 : 0);
        });
        EXPECT_EQ(s.quit(), 0);
        EXPECT_NE(s.programDir.read("ELF.txt").find("LSB executable"), std::string::npos);
    }
}
