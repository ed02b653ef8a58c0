// Opening, renaming, new directory, zip and the I report with the real file, mv and stat; zip stands in for the archiver.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "../unit/hostile_names.h"
#include "extern/quote.h"
#include "session.h"
#include "viewers/open_file.h"
#include "extern/programs.h"
#include "fileops/rename_entry.h"
#include "viewers/info_report.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

std::string workRow(Session& s, int r) { return readText(s.screen(), s.screen().workPage(), r, 1, 80); }

constexpr int kSettle = 1500;

// mv, echo, file and stat for real; the archiver as zip without wildcards of its own.
void runForReal(Session& s) {
    s.runner.onShell = [](const std::string& line) {
        for (const char* p : {"mv ", "echo ", "file ", "stat "})
            if (line.rfind(p, 0) == 0) return TempRootRunner().runShell(line);
        return 0;
    };
    s.runner.onProgram = [](const ProgramCall& call) {
        std::vector<std::string> args{"-q", "-nw"};
        args.insert(args.end(), call.args.begin(), call.args.end());
        return TempRootRunner().startProgram("/usr/bin/zip", args);
    };
}

}  // namespace

// The program runs first, its waiting text shown (blanked once it closed), then the viewer; the path is one argument.
TEST(OpenFile, ExtensionGroupsRunTheirProgramThenTheViewer) {
    TempDir work;
    const std::string stand = work.file("program", "#!/bin/sh\nprintf '%s\\n' \"$#\" > \"$0.out\"\nprintf '%s' \"$1\" >> \"$0.out\"\n");
    ASSERT_EQ(chmod(stand.c_str(), 0755), 0);
    std::vector<std::array<std::string, 3>> cases{{"REPORT.PDF", "defaultpdfviewer ", "/usr/local/bin/defaultpdfviewer "},
                                                  {"song.ogg", "aplay audio ", "aplay "}};
    for (const std::string& name : hostileNames())
        if (name.size() <= 251) cases.push_back({name + ".txt", "defaulttexteditor ", "/usr/local/bin/defaulttexteditor "});
    for (const auto& [name, shown, program] : cases) {
        SCOPED_TRACE(name);
        Session s;
        const std::string path = s.dir.file(name, "contents");
        bool viewerWasOpen = true;
        s.runner.onShell = [&](const std::string& line) {
            viewerWasOpen = s.screen().visiblePage() == 1;
            EXPECT_EQ(workRow(s, 27).substr(1, shown.size()) + workRow(s, 27).substr(49, 29), shown + "Waiting for program to close.");
            const std::string word = line.substr(program.size());
            return TempRootRunner().runShell(commandLine({Arg::literal("cd"), Arg::word(work.path), Arg::literal("&&"), Arg::word(stand), Arg::literal(word)}));
        };
        std::filesystem::current_path(s.dir.path);  // where the browser would stand
        s.app.selectedPath = path;
        s.app.savedDirectoryPath = s.dir.path;
        s.script.wait(2000).key(27);  // closes the viewer
        EXPECT_EQ(openFile(s.app, [](App&, const std::string&, bool*) { return ExecChoice::Cancel; }), Next::Reload);
        EXPECT_EQ(std::tuple(viewerWasOpen, s.runner.shellLines, s.app.previousPath, s.app.selectedPath, readText(s.screen(), 0, 27, 50, 29)),
                  std::tuple(false, std::vector<std::string>{program + shellQuote(path)}, path, s.dir.path, std::string(29, ' ')));
        EXPECT_EQ(work.read("program.out"), "1\n" + path);
        EXPECT_FALSE(fs::exists(work.path + "/" + kCanary) || fs::exists(s.dir.path + "/" + kCanary));
        fs::remove(work.path + "/program.out");
    }
}

// Enter: only a classic executable is offered the chooser, not a dotted directory, a PIE, a script or a name like `file`'s words.
TEST(OpenFile, OnlyNonPieExecutablesAreOfferedTheChooser) {
    enum Kind { Data, Pie, NoPie, Script };
    // name, kind, key after Enter, the program's exit status
    const std::tuple<const char*, Kind, char, int> cases[] = {
        {"data.xyz", Data, 27, 0}, {"my.dir/README", Data, 27, 0}, {"modern", Pie, 27, 0}, {"ELF LSB executable", Script, 27, 0},
        {"tool", NoPie, 'v', 0}, {"tool", NoPie, 'R', 0}, {"tool", NoPie, 'R', 3}, {"tool", NoPie, 'c', 0},
    };
    for (const auto& [name, kind, key, status] : cases) {
        SCOPED_TRACE(std::string(name) + " " + key + std::to_string(status));
        Session s;
        runForReal(s);
        const std::string path = s.dir.path + "/" + name, dir = path.substr(0, path.rfind('/'));
        if (kind == Pie || kind == NoPie) ASSERT_TRUE(compileProgram(s.dir, path, status, kind == Pie));
        else s.dir.file(name, kind == Script ? "#!/bin/sh\necho hi\n" : "x");
        const bool chooser = kind == NoPie, viewed = !chooser || key == 'v', ran = key == 'R';
        s.runner.onProgram = [](const ProgramCall& call) { return TempRootRunner().startProgram(call.program, call.args); };
        s.browse(dir).ext(scan::Down).wait(300).key(13).wait(1500).then([&] {
            EXPECT_EQ(std::pair(s.screen().visiblePage(), s.row(26).find(" View file ") != std::string::npos), std::pair(chooser ? 2 : 1, chooser));
        });
        const std::int64_t answered = s.script.time();
        s.script.key(key).wait(status ? 300 : 1500).then([&] {
            EXPECT_EQ(s.runner.programCalls, (ran ? std::vector<ProgramCall>{{path, {}}} : std::vector<ProgramCall>{}));
            if (status) EXPECT_NE(s.row(29).find("Error: unable to run program."), std::string::npos);
            else EXPECT_EQ(std::pair(s.screen().visiblePage(), s.app.selectedPath), std::pair(key == 'v' ? 1 : 0, key == 'v' ? path : dir));
        });
        if (key == 'v') s.script.key(27).wait(1500);
        s.script.wait(status ? 4500 : 0).then([&] {
            EXPECT_EQ(std::tuple(s.app.selectedPath, s.app.previousPath, s.listName(2), s.rig.clock.nowMs() - answered >= (status ? 4000 : 0)),
                      std::tuple(dir, viewed ? path : "", path.substr(dir.size() + 1), true));
        });
        EXPECT_EQ(s.quit(), 0);
        EXPECT_EQ(s.runner.shellLines, std::vector<std::string>(kind != Data, "file -b " + shellQuote(path) + " > " + s.programDir.path + "/ELF.txt"));
        EXPECT_EQ(describesExecutable(s.programDir.read("ELF.txt")), chooser);
    }
}

// Per name, in a directory of that name: the report, rename, new directory and zip (leaving out the pick renamed away).
TEST(HostileNames, ReportRenameNewDirectoryAndZip) {
    for (const std::string& name : hostileNames()) {
        SCOPED_TRACE(name);
        Session s;
        const std::string dir = s.dir.dir(name), file = s.dir.file(name + "/" + name, "1");
        runForReal(s);
        s.browse().ext(scan::Down).wait(150).key(ch::Enter).wait(kSettle);
        s.script.ext(scan::Down).wait(150).key('i').wait(kSettle).then([&] {  // the report, labelled text
            EXPECT_EQ(std::pair(s.app.selectedPath, s.app.formatLabelText), std::pair(s.programDir.path + "/identify.txt", true));
        }).key(27).wait(kSettle);
        s.script.ext(scan::Down).wait(150).key('f').wait(600).keys("renamed").key(ch::Enter).wait(kSettle);
        s.script.key('/').wait(300).keys("new").key(ch::Enter).wait(kSettle);
        s.script.then([&] { for (const std::string& p : {file, dir + "/renamed"}) s.app.buffer.add(p, p); }).ext(scan::F2).wait(kSettle);
        s.script.then([&] { EXPECT_EQ(s.row(27).substr(1, 26), "No longer there, skipped: "); });
        EXPECT_EQ(s.quit(), 0);
        std::vector<std::string> lines = reportLines(file, s.programDir.path + "/identify.txt");
        lines.push_back(renameLine(file, "renamed"));
        EXPECT_EQ(s.runner.shellLines, lines);
        EXPECT_EQ(s.runner.programCalls, (std::vector<ProgramCall>{{std::string(kArchiver), {dir + "/temp.zip", dir + "/renamed"}}}));
        EXPECT_EQ(std::pair(s.app.buffer.count, entryNames(dir)), std::pair(0, std::set<std::string>{"renamed", "new", "temp.zip"}));
        for (const auto& e : fs::recursive_directory_iterator(s.dir.path)) EXPECT_NE(e.path().filename(), kCanary);
        EXPECT_FALSE(fs::exists(kCanary));
    }
}
