// The whole road of opening a file: Enter in the browser, the associated
// program or the executable chooser, the viewer, and Esc back to the list.
#include <gtest/gtest.h>

#include <string>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

constexpr int kSettle = 1500;

TEST(OpenFromBrowser, EnterOpensTheEditorThenTheViewerAndEscListsTheDirectoryAgain) {
    Session s;
    const TempDir& d = s.dir;
    const std::string notes = d.file("notes.txt", "line one\nline two\n");
    s.browse().ext(scan::Down).wait(300).key(13).wait(kSettle).then([&] {
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
    EXPECT_EQ(s.quit(), 0);
}

TEST(OpenFromBrowser, TheExecutableChooserViewsRunsOrCancels) {
    struct Case {
        int key;
        bool viewed, ran;
    };
    for (const Case c : {Case{'v', true, false}, Case{'R', false, true}, Case{'c', false, false}, Case{27, false, false}}) {
        SCOPED_TRACE(c.key);
        Session s;
        const TempDir& d = s.dir;
        const std::string prog = d.path + "/tool";
        ASSERT_TRUE(compileProgram(d, prog));
        RealRunner real;
        s.runner.onShell = [&](const std::string& line) { return real.runShell(line); };
        s.browse().ext(scan::Down).wait(300).key(13).wait(kSettle).then([&] {
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
        EXPECT_EQ(s.quit(), 0);
        EXPECT_NE(s.programDir.read("ELF.txt").find("LSB executable"), std::string::npos);
    }
}
