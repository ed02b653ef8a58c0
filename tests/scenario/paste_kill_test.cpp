// Paste, kill and remove directory against real directories with the real
// cp and rm: what the panels show, what is left on disk, and that no name
// can make anything else happen.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>

#include "../unit/hostile_names.h"
#include "fileops/paste_kill.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

// A Session whose cp and rm really run, with no terminal input.
struct RealSession : Session {
    RealRunner real;
    RealSession() { runner.onProgram = [this](const ProgramCall& c) { return real.startProgramWithoutInput(c.program, c.args); }; }
};

constexpr int kStep = 700;
constexpr Point kYes{240, 456}, kNo{372, 456}, kOptions{580, 392}, kBufferButton{560, 456}, kPasteAllButton{140, 408};

void click(Session& s, Point at) { s.script.click(at.x, at.y).wait(kStep); }
void downs(Session& s, int n) {
    for (int i = 0; i < n; ++i) s.script.ext(scan::Down).wait(200);
}
// The text of a row inside the frame's side lines, without outer blanks.
std::string trimmed(std::string t) {
    if (t.size() >= 80) t = t.substr(1, 78);
    const auto b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
    return b == std::string::npos ? "" : t.substr(b, e - b + 1);
}
std::string question(Session& s) { return trimmed(s.row(25).substr(1, 58)); }

}  // namespace

// src holds the corpus, a hidden file, a subdirectory with a file and a FIFO;
// dst is empty. The shell starts in src, where a canary would land.
TEST(PasteKill, HostileNamesReachCpAndRmWhole) {
    enum class Run { Paste, PasteAll, KillFile, KillAll };
    struct Case {
        const char* what;
        Run run;
        bool buffer;  // the corpus is picked into the buffer
        const char* keys;
        std::set<std::string> srcLeft, dstExtra;  // besides the corpus where it stays or is copied
        bool corpusStays;
    };
    const std::set<std::string> extras{".hidden", "sub", "fifo"};
    const Case cases[] = {
        {"paste", Run::Paste, false, "", extras, {}, true},
        {"paste all, files", Run::PasteAll, false, "Y", extras, {}, true},
        {"paste all, files and directories", Run::PasteAll, false, "OY", extras, {"sub", "fifo"}, true},
        {"paste buffer", Run::PasteAll, true, "Y", extras, {}, true},
        {"kill file", Run::KillFile, false, "", extras, {}, false},
        {"kill all, files", Run::KillAll, false, "Y", {".hidden", "sub"}, {}, false},
        {"kill all, files and directories", Run::KillAll, false, "OY", {".hidden"}, {}, false},
        {"kill buffer", Run::KillAll, true, "BY", extras, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealSession s;
        App& app = s.app;
        const std::string src = s.dir.dir("src"), dst = s.dir.dir("dst");
        for (const auto& n : hostileNames()) s.dir.file("src/" + n, n);
        s.dir.file("src/.hidden", "h");
        s.dir.file("src/sub/inner", "i");
        mkfifo((src + "/fifo").c_str(), 0600);
        fs::current_path(src);
        s.script.move(300, 200).wait(100);
        for (const char* k = c.keys; *k; ++k) s.script.key(*k).wait(500);
        const bool copies = c.run == Run::Paste || c.run == Run::PasteAll;
        for (const auto& n : hostileNames()) {
            if (c.buffer) app.buffer.add("row " + n, src + "/" + n);
            if (c.run == Run::Paste) {
                app.copySelection.sourceFile = src + "/" + n;
                app.savedDirectoryPath = dst;
                paste(app);
            } else if (c.run == Run::KillFile) {
                app.screen.input().pushKey(Key::character('Y'));
                app.selectedPath = src + "/" + n;
                app.savedDirectoryPath = src;
                killFile(app);
            }
        }
        app.savedDirectoryPath = copies ? dst : src;
        if (c.run == Run::PasteAll && !c.buffer) app.copySelection.sourceDirectory = src;
        if (c.run == Run::PasteAll || c.run == Run::KillAll) {
            EXPECT_EQ(c.run == Run::PasteAll ? pasteAll(app) : killAll(app), Next::Reload);
        }
        std::set<std::string> srcLeft = c.srcLeft, dstAfter = c.dstExtra;
        if (c.corpusStays) srcLeft.insert(hostileNames().begin(), hostileNames().end());
        if (copies) dstAfter.insert(hostileNames().begin(), hostileNames().end());
        EXPECT_EQ(entryNames(src), srcLeft);
        EXPECT_EQ(entryNames(dst), dstAfter);
        for (const auto& d : {src, dst, s.dir.path}) EXPECT_FALSE(fs::exists(d + "/" + kCanary));
        EXPECT_EQ(app.selectedPath, app.savedDirectoryPath);
    }
}

TEST(PasteKill, TheBufferChoicesThenACopySelection) {
    RealSession s;
    const std::string src = s.dir.dir("src"), dst = s.dir.dir("dst");
    for (const char* f : {"src/f1", "src/f2", "src/.h"}) s.dir.file(f, "1");
    s.settings(1, 0, src, 1);
    s.script.wait(1000).move(300, 200);
    auto goTo = [&](const std::string& dir) { s.script.then([&, dir] { s.app.selectedPath = dir; }).ext(scan::F3).wait(kStep); };
    downs(s, 1);
    s.script.key('Q').wait(kStep);
    goTo(dst);
    click(s, kPasteAllButton);  // only the buffer is set: it opens on the buffer choice
    click(s, kOptions);         // nothing to copy but the buffer: ignored
    s.script.then([&] {
        EXPECT_EQ(question(s), "Paste Buffer Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp BufferFiles " + dst);
    });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(entryNames(dst), (std::set<std::string>{"f1"}));
        EXPECT_EQ(s.programDir.read("cp_buffer.txt"), "cp " + src + "/f1 " + dst + "\n");
    });
    goTo(src);
    downs(s, 2);
    s.script.key('X').wait(kStep);
    click(s, kBufferButton);
    s.script.then([&] { EXPECT_EQ(question(s), "Kill Buffer Files?"); });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(entryNames(src), (std::set<std::string>{".h", "f2"}));
        EXPECT_EQ(s.programDir.read("Kl_buffer.txt"), "rm " + src + "/f1\n");
        EXPECT_EQ(s.row(33).substr(94, 3), " 0 ");
    });
    downs(s, 1);
    s.script.key('C').wait(kStep).then([&] {
        EXPECT_EQ(trimmed(s.row(27)), src);
        EXPECT_EQ(trimmed(s.row(28).substr(1, 60)), src + "/f2");
    });
    goTo(dst);
    click(s, kPasteAllButton);
    s.script.then([&] { EXPECT_EQ(question(s), "Paste all Files ?"); });
    s.script.key('o').wait(kStep).key('O').wait(kStep).then([&] {
        EXPECT_EQ(question(s), "Paste all Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp " + src + "/* " + dst);
    });
    click(s, kBufferButton);
    s.script.then([&] { EXPECT_EQ(question(s), "No Buffer Files."); });
    s.script.wait(2000).then([&] { EXPECT_EQ(question(s), "Paste all Files ?"); });
    click(s, kYes);
    s.script.then([&] { EXPECT_EQ(entryNames(dst), (std::set<std::string>{"f1", "f2"})); });
    EXPECT_EQ(s.quit(), 0);
}

// Kill, kill all (its options clicked), remove directory and paste on the
// wrong entry: the dialog or message, then what is left on disk.
TEST(PasteKill, KillKillAllRemoveDirectoryAndPasteOnTheWrongEntry) {
    struct Case {
        const char* what;
        int downs;
        const char* input;  // before '|': shown, then checked; after: the answer. o y n: clicks
        const char* row25;  // the question's start; "" none
        const char* row27;  // % for the directory
        std::set<std::string> left;
    };
    const std::set<std::string> all{".hid", "a", "empty", "full"}, files{".hid", "empty", "full"};
    const Case cases[] = {
        {"K then N", 1, "K|N", "Kill this File ?", "rm %/a", all},
        {"K then Y", 1, "K|Y", "Kill this File ?", "rm %/a", files},
        {"R on an empty directory", 2, "R|Y", "Remove This Directory ?", "%/empty", {".hid", "a", "full"}},
        {"R on a directory that holds files", 3, "R|Y", "Remove This Directory ?", "%/full", all},
        {"P on the parent", 0, "P|", "", "Pick a file or directory.", all},
        {"P without a copy selection", 1, "P|", "", "Must first make a Copy selection.", all},
        {"P on a directory", 2, "P|", "", "", all},
        {"X then Yes", 1, "X|y", "Kill all Files?", "rm %/*", files},
        {"X, Options, Yes", 1, "Xo|y", "Kill all Files and Directories?", "rm -r %/*", {".hid"}},
        {"X, Options twice, Yes", 1, "Xoo|y", "Kill all Files?", "rm %/*", files},
        {"X, Options, No", 1, "Xo|n", "Kill all Files and Directories?", "rm -r %/*", all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealSession s;
        const TempDir& d = s.dir;
        for (const char* f : {".hid", "a", "full/x"}) d.file(f, "1");
        d.dir("empty");
        s.browse().move(300, 200);
        downs(s, c.downs);
        const std::string input = c.input;
        const auto act = [&](char k) {
            if (std::islower(k)) click(s, k == 'o' ? kOptions : k == 'y' ? kYes : kNo);
            else s.script.key(k).wait(input.back() == '|' ? 300 : kStep);  // messages go sooner
        };
        for (size_t i = 0; input[i] != '|'; ++i) act(input[i]);
        s.script.then([&] {
            std::string row27 = c.row27;
            if (row27.find('%') != std::string::npos) row27.replace(row27.find('%'), 1, d.path);
            EXPECT_EQ(question(s).rfind(c.row25, 0), 0u) << s.row(25);
            EXPECT_EQ(trimmed(s.row(27)), row27);
            if (input[0] == 'X') {
                EXPECT_EQ(s.cell(26, 10), (CellRead{'C', 4, 15}));  // "Caution!"
            }
        });
        if (input.back() != '|') act(input.back());
        if (std::string(c.what).find("holds") != std::string::npos)
            s.script.wait(700).then([&] {
                EXPECT_EQ(trimmed(s.row(28)), "Error: unable to remove Directory");
                EXPECT_EQ(trimmed(s.row(29)), "Remove Files in Directory");
            });
        s.script.wait(8000).then([&] {
            EXPECT_EQ(entryNames(d.path), c.left);
            EXPECT_EQ(s.app.selectedPath, d.path);
            EXPECT_EQ(s.screen().visiblePage(), 0);
        });
        EXPECT_EQ(s.quit(), 0);
    }
}

TEST(PasteKill, ABufferOf1001LongPathsIsCopiedAndRemovedCompletely) {
    RealSession s;
    const std::string src = s.dir.dir(std::string(100, 's')), dst = s.dir.dir("dst");
    std::string record = "rm";
    for (int i = 0; i < 1001; ++i) {
        const std::string path = s.dir.file(std::string(100, 's') + "/" + std::string(45, 'n') + std::to_string(i), "x");
        s.app.buffer.add("row" + std::to_string(i), path);
        record += " " + path;
    }
    fs::current_path(dst);
    s.script.move(300, 200).wait(100).key('Y').wait(3000).key('B').wait(3000).key('Y');
    s.app.savedDirectoryPath = dst;
    EXPECT_EQ(pasteAll(s.app), Next::Reload);
    EXPECT_EQ(entryNames(dst).size(), 1001u);
    EXPECT_GE(s.runner.programCalls.size(), 2u);  // more than one call's worth of arguments
    s.app.savedDirectoryPath = src;
    EXPECT_EQ(killAll(s.app), Next::Reload);
    EXPECT_TRUE(entryNames(src).empty());
    EXPECT_EQ(s.app.buffer.count, 0);
    EXPECT_EQ(s.programDir.read("Kl_buffer.txt"), record + "\n");
}
