// Opening a picked file: the program of its extension, the executable test with the real `file`,
// the chooser, the viewer, and names that must reach the program as one argument.
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

// The program runs first, its waiting text shown (blanked once it closed), then the viewer shows the file.
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
            EXPECT_EQ(std::tuple(workRow(s, 27).substr(49, 29), readCell(s.screen(), 0, 27, 50), workRow(s, 27).substr(1, shown.size()), workRow(s, 28).substr(1, path.size())),
                      std::tuple("Waiting for program to close.", CellRead{'W', 1, 2}, shown, path));
            return 0;
        };
        EXPECT_EQ(open(s, path), Next::Reload);
        EXPECT_EQ(std::tuple(viewerWasOpen, s.runner.shellLines, s.app.previousPath, s.app.selectedPath, readText(s.screen(), 0, 27, 50, 29)),
                  std::tuple(false, std::vector<std::string>{program + path}, path, s.dir.path, std::string(29, ' ')));
    }
}

// Unknown extensions, a dotted directory, a position-independent program, a shell script and a name
// that reads like `file`'s description go straight to the viewer; only a classic executable is offered
// the chooser (cancelled: back in the directory, the viewer never opened).
TEST(OpenFile, OnlyNonPieExecutablesAreOfferedTheChooser) {
    enum Kind { Data, Pie, NoPie, Script };
    const std::pair<const char*, Kind> cases[] = {{"data.xyz", Data}, {"my.dir/README", Data}, {"modern", Pie}, {"classic", NoPie}, {"ELF LSB executable", Script}};
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
        EXPECT_EQ(s.runner.shellLines, kind == Data ? std::vector<std::string>{} : std::vector{"file -b " + shellQuote(path) + " > " + s.programDir.path + "/ELF.txt"});
        EXPECT_EQ(describesExecutable(report), kind == NoPie) << report;
        EXPECT_EQ(std::tuple(offered, s.app.previousPath, s.app.selectedPath),
                  std::tuple(kind == NoPie ? std::vector<std::string>{path} : std::vector<std::string>{}, kind == NoPie ? "" : path, s.dir.path));
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
        s.runner.onShell = [&](const std::string& line) {
            EXPECT_EQ(line, prefix + shellQuote(path));
            return RealRunner().runShell(commandLine({Arg::literal("cd"), Arg::word(work.path), Arg::literal("&&"), Arg::word(editor), Arg::literal(line.substr(prefix.size()))}));
        };
        open(s, path);
        EXPECT_EQ(work.read("editor.out"), "1\n" + path);
        EXPECT_FALSE(std::filesystem::exists(work.path + "/" + kCanary) || std::filesystem::exists(s.dir.path + "/" + kCanary));
        std::filesystem::remove(work.path + "/editor.out");
    }
}

// Enter on a classic executable: the chooser over the list, then View, Run (a failure reported on
// virtual time), C or Esc.
TEST(OpenFile, TheExecutableChooserViewsRunsOrCancels) {
    for (const auto& [key, status, viewed, ran] : {std::tuple{'v', 0, true, false}, {'R', 0, false, true}, {'R', 3, false, true}, {'c', 0, false, false}, {'\x1b', 0, false, false}}) {
        SCOPED_TRACE(std::string(1, key) + std::to_string(status));
        Session s;
        const std::string prog = s.dir.path + "/tool";
        ASSERT_TRUE(compileProgram(s.dir, prog, status));
        runShellForReal(s);
        s.runner.onProgram = [&](const ProgramCall& call) {
            EXPECT_EQ(workRow(s, 29).find("Executable running, will resume when it is closed."), 14u);
            return RealRunner().startProgram(call.program, call.args);
        };
        s.browse().ext(scan::Down).wait(300).key(13).wait(1500).then([&] {
            EXPECT_EQ(std::pair(s.screen().visiblePage(), s.row(26).find(" View file ") != std::string::npos), std::pair(2, true));
        });
        const std::int64_t answered = s.script.time();
        s.script.key(key).wait(status ? 300 : 1500).then([&] {
            EXPECT_EQ(s.runner.programCalls, (ran ? std::vector<ProgramCall>{{prog, {}}} : std::vector<ProgramCall>{}));
            if (status) {
                EXPECT_EQ(std::pair(s.row(29).find("Error: unable to run program.") != std::string::npos, s.cell(29, 25)), std::pair(true, CellRead{'E', 4, 15}));
            } else {
                EXPECT_EQ(std::pair(s.screen().visiblePage(), s.app.selectedPath), std::pair(viewed ? 1 : 0, viewed ? prog : s.dir.path));
            }
        });
        if (viewed) s.script.key(27).wait(1500);
        s.script.wait(status ? 4500 : 0).then([&] {
            EXPECT_EQ(std::tuple(s.app.selectedPath, s.app.previousPath, s.listName(2), s.rig.clock.nowMs() - answered >= (status ? 4000 : 0)),
                      std::tuple(s.dir.path, viewed ? prog : "", "tool", true));
        });
        EXPECT_EQ(s.quit(), 0);
        EXPECT_NE(s.programDir.read("ELF.txt").find("LSB executable"), std::string::npos);
    }
}
