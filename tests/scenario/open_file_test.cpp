// Opening a file picked in the browser: the associated program of its
// extension, the executable test with the real `file`, running programs,
// and names that must reach the program as one argument.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../unit/hostile_names.h"
#include "extern/quote.h"
#include "extern/recording_runner.h"
#include "rig.h"
#include "temp_dir.h"
#include "viewers/open_file.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct OpenRun {
    OpenRun() {
        app.backgroundColour = 2;
        app.savedDirectoryPath = dir.path;
    }
    // Opens `path`; the script closes the viewer, if one opens, with Esc.
    Next open(const std::string& path, bool viewerExpected = true) {
        app.selectedPath = path;
        if (viewerExpected) script.wait(2000).key(27);
        return openFile(app, [](App&, const std::string& p, bool*) {
            offered().push_back(p);
            return answer();
        });
    }
    std::string workRow(int r) { return readText(rig.screen, rig.screen.workPage(), r, 1, 80); }

    static std::vector<std::string>& offered() {
        static std::vector<std::string> paths;
        return paths;
    }
    static ExecChoice& answer() {
        static ExecChoice choice = ExecChoice::Cancel;
        return choice;
    }

    TempDir programDir, dir;
    Rig rig;
    RecordingRunner runner;
    RealRunner real;
    App app{rig.screen, programDir.path, runner};
    Script& script = rig.script;
};

}  // namespace

TEST(OpenFile, ExtensionGroupsRunTheirProgramThenTheViewer) {
    struct Case {
        const char* name;
        const char* shown;
        const char* program;
    };
    for (const Case c : {Case{"notes.TXT", "defaulttexteditor ", "/usr/local/bin/defaulttexteditor "},
                         Case{"movie.h264", "defaultmediaplayer ", "/usr/local/bin/defaultmediaplayer "},
                         Case{"archive.tar.gz", "defaultarchiver ", "/usr/local/bin/defaultarchiver "},
                         Case{"REPORT.PDF", "defaultpdfviewer ", "/usr/local/bin/defaultpdfviewer "},
                         Case{"song.ogg", "aplay audio ", "aplay "}}) {
        SCOPED_TRACE(c.name);
        OpenRun o;
        const std::string path = o.dir.file(c.name, "contents");
        bool viewerWasOpen = true;
        o.runner.onShell = [&](const std::string&) {
            viewerWasOpen = o.rig.screen.visiblePage() == 1;
            EXPECT_EQ(o.workRow(27).substr(49, 29), "Waiting for program to close.");
            EXPECT_EQ(readCell(o.rig.screen, 0, 27, 50), (CellRead{'W', 1, 2}));
            EXPECT_EQ(o.workRow(27).substr(1, std::string(c.shown).size()), c.shown);
            EXPECT_EQ(o.workRow(28).substr(1, path.size()), path);
            return 0;
        };
        EXPECT_EQ(o.open(path), Next::Reload);
        EXPECT_FALSE(viewerWasOpen);  // the program ran first, then the viewer
        EXPECT_EQ(o.runner.shellLines, std::vector<std::string>{c.program + path});
        EXPECT_EQ(o.app.previousPath, path);  // the viewer showed it
        EXPECT_EQ(o.app.selectedPath, o.dir.path);
        // The waiting text is blanked once the program has closed.
        EXPECT_EQ(readText(o.rig.screen, 0, 27, 50, 29), std::string(29, ' '));
    }
}

// Unknown extensions, a dotted directory, a position-independent program, a
// shell script and a name that reads like `file`'s description go straight
// to the viewer; only a classic executable is offered the chooser.
TEST(OpenFile, OnlyNonPieExecutablesAreOfferedTheChooser) {
    enum Kind { Data, Pie, NoPie, Script };
    const std::pair<const char*, Kind> cases[] = {{"data.xyz", Data},   {"my.dir/README", Data}, {"modern", Pie},
                                                  {"classic", NoPie},   {"ELF LSB executable", Script}};
    OpenRun::answer() = ExecChoice::Cancel;
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        OpenRun::offered().clear();
        OpenRun o;
        o.runner.onShell = [&](const std::string& line) { return o.real.runShell(line); };
        const std::string path = o.dir.path + "/" + name;
        if (kind == Pie || kind == NoPie) ASSERT_TRUE(compileProgram(o.dir, path, 0, kind == Pie));
        else o.dir.file(name, kind == Script ? "#!/bin/sh\necho hi\n" : "x");
        EXPECT_EQ(o.open(path, kind != NoPie), Next::Reload);
        const std::string report = o.programDir.read("ELF.txt");
        if (kind == Data) EXPECT_TRUE(o.runner.shellLines.empty());
        else EXPECT_EQ(o.runner.shellLines.at(0), "file -b " + shellQuote(path) + " > " + o.programDir.path + "/ELF.txt");
        EXPECT_EQ(describesExecutable(report), kind == NoPie) << report;
        EXPECT_EQ(OpenRun::offered(), kind == NoPie ? std::vector<std::string>{path} : std::vector<std::string>{});
        // Cancelled: back in the directory, the viewer never opened.
        EXPECT_EQ(o.app.previousPath, kind == NoPie ? "" : path);
        EXPECT_EQ(o.app.selectedPath, o.dir.path);
    }
}

TEST(OpenFile, RunStartsTheProgramAndReportsFailure) {
    OpenRun::answer() = ExecChoice::Run;
    for (const int status : {0, 3}) {
        SCOPED_TRACE(status);
        OpenRun o;
        o.runner.onShell = [&](const std::string& line) { return o.real.runShell(line); };
        o.runner.onProgram = [&](const ProgramCall& call) {
            const std::string running = "Executable running, will resume when it is closed.";
            EXPECT_EQ(o.workRow(29).substr(14, running.size()), running);
            return o.real.startProgram(call.program, call.args);
        };
        const std::string prog = o.dir.path + "/exits" + std::to_string(status);
        ASSERT_TRUE(compileProgram(o.dir, prog, status));
        const auto before = o.rig.clock.nowMs();
        EXPECT_EQ(o.open(prog, false), Next::Reload);
        EXPECT_EQ(o.runner.programCalls, (std::vector<ProgramCall>{{prog, {}}}));
        EXPECT_EQ(o.app.selectedPath, o.dir.path);
        EXPECT_EQ(o.app.previousPath, "");
        const std::string error = "Error: unable to run program.";
        const bool shown = o.workRow(29).find(error) != std::string::npos;
        EXPECT_EQ(shown, status != 0);
        if (shown) {
            EXPECT_EQ(readCell(o.rig.screen, o.rig.screen.workPage(), 29, 25), (CellRead{'E', 4, 15}));
            EXPECT_GE(o.rig.clock.nowMs() - before, 4000);  // on virtual time
        }
    }
    OpenRun::answer() = ExecChoice::Cancel;
}

TEST(OpenFile, HostileNamesReachTheProgramAsOneArgument) {
    TempDir work;  // the shell's working directory, where a canary would land
    const std::string editor = work.file("editor", "#!/bin/sh\nprintf '%s\\n' \"$#\" > \"$0.out\"\nprintf '%s' \"$1\" >> \"$0.out\"\n");
    ASSERT_EQ(chmod(editor.c_str(), 0755), 0);
    const std::string prefix = "/usr/local/bin/defaulttexteditor ";
    for (std::string name : hostileNames()) {
        name += ".txt";
        if (name.size() > 255) continue;
        SCOPED_TRACE(name);
        OpenRun o;
        const std::string path = o.dir.file(name, "x");
        ASSERT_TRUE(std::filesystem::exists(path));
        o.runner.onShell = [&](const std::string& line) {
            EXPECT_EQ(line.rfind(prefix, 0), 0u);
            EXPECT_EQ(line, prefix + shellQuote(path));
            const std::string rest = line.substr(prefix.size());
            return o.real.runShell(commandLine({Arg::literal("cd"), Arg::word(work.path), Arg::literal("&&"),
                                                Arg::word(editor), Arg::literal(rest)}));
        };
        o.open(path);
        EXPECT_EQ(work.read("editor.out"), "1\n" + path);
        EXPECT_FALSE(std::filesystem::exists(work.path + "/" + kCanary));
        EXPECT_FALSE(std::filesystem::exists(o.dir.path + "/" + kCanary));
        std::filesystem::remove(work.path + "/editor.out");
    }
}
