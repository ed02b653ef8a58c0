// The whole road of opening a file: Enter in the browser, the associated
// program or the executable chooser, the viewer, and Esc back to the list.
#include <gtest/gtest.h>

#include <string>

#include "extern/quote.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kSettle = 1500;

void compileProgram(const TempDir& d, const std::string& path) {
    const std::string source = d.file("src.c", "int main(void) { return 0; }\n");
    ASSERT_EQ(RealRunner().runShell(commandLine({Arg::literal("cc -no-pie -o"), Arg::word(path), Arg::word(source)})), 0);
}

}  // namespace

TEST(OpenFromBrowser, EnterOpensTheEditorThenTheViewerAndEscListsTheDirectoryAgain) {
    Session s;
    TempDir d;
    const std::string notes = d.file("notes.txt", "line one\nline two\n");
    s.settings(0, 0, d.path, 1);
    s.script.wait(1000).ext(scan::Down).wait(300).key(13).wait(kSettle).then([&] {
        EXPECT_EQ(s.runner.shellLines, std::vector<std::string>{"/usr/local/bin/defaulttexteditor " + notes});
        EXPECT_EQ(s.screen().visiblePage(), 1);
        EXPECT_EQ(s.row(1).substr(0, 9), "line one ");
        EXPECT_EQ(s.row(30).substr(1, 14), "Size 18 Pos 18");
        EXPECT_EQ(s.app.selectedPath, notes);
        EXPECT_EQ(s.app.savedDirectoryPath, d.path);
    });
    s.script.key(27).wait(kSettle).then([&] {
        EXPECT_EQ(s.screen().visiblePage(), 0);
        EXPECT_EQ(s.app.selectedPath, d.path);
        EXPECT_EQ(s.listName(2), "notes.txt");
        EXPECT_EQ(s.app.previousPath, notes);
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(OpenFromBrowser, TheExecutableChooserViewsRunsOrCancels) {
    struct Case {
        int key;
        bool viewed, ran;
    };
    for (const Case c : {Case{'v', true, false}, Case{'R', false, true}, Case{'c', false, false}, Case{27, false, false}}) {
        SCOPED_TRACE(c.key);
        Session s;
        TempDir d;
        const std::string prog = d.path + "/tool";
        compileProgram(d, prog);
        std::filesystem::remove(d.path + "/src.c");
        RealRunner real;
        s.runner.onShell = [&](const std::string& line) { return real.runShell(line); };
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).ext(scan::Down).wait(300).key(13).wait(kSettle).then([&] {
            // The chooser over the browser.
            EXPECT_EQ(s.screen().visiblePage(), 2);
            EXPECT_NE(s.row(26).find(" View file "), std::string::npos);
        });
        s.script.key(c.key).wait(kSettle).then([&] {
            EXPECT_EQ(s.screen().visiblePage(), c.viewed ? 1 : 0);
            EXPECT_EQ(s.runner.programCalls.size(), c.ran ? 1u : 0u);
            EXPECT_EQ(s.app.selectedPath, c.viewed ? prog : d.path);
        });
        if (c.viewed) s.script.key(27).wait(kSettle);
        s.script.then([&] {
            EXPECT_EQ(s.app.selectedPath, d.path);
            EXPECT_EQ(s.listName(2), "tool");
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
        EXPECT_NE(s.programDir.read("ELF.txt").find("LSB executable"), std::string::npos);
    }
}
