// Paste, kill and remove directory against real directories with the real
// cp and rm: what the panels show, what is left on disk, and that no name
// can make anything else happen.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>

#include "../unit/hostile_names.h"
#include "fileops/paste_kill.h"
#include "fileops/utility_run.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

// A Session whose cp and rm really run, with no terminal input, and a
// directory of its own to list.
struct RealSession : Session {
    RealRunner real;
    TempDir d;
    RealSession() {
        runner.onProgram = [this](const ProgramCall& c) { return real.startProgramWithoutInput(c.program, c.args); };
    }
    // Lists `dir` (the session's own by default) with the pointer over the list.
    void start(int bigSmall = 0, std::string dir = "") {
        settings(bigSmall, 0, dir.empty() ? d.path : dir, 1);
        script.wait(1000).move(300, 200);
    }
};

std::set<std::string> names(const std::string& dir) { return entryNames(dir); }

// src holds the corpus, a hidden file, a subdirectory with a file and a
// FIFO; dst is empty. The shell's working directory for a canary is the
// listed directory, so Kestrel lists src.
struct Corpus {
    TempDir d;
    std::string src = d.dir("src"), dst = d.dir("dst");
    Corpus() {
        for (const auto& n : hostileNames()) d.file("src/" + n, n);
        d.file("src/.hidden", "h");
        d.file("src/sub/inner", "i");
        mkfifo((src + "/fifo").c_str(), 0600);
    }
    bool canary() const {
        return fs::exists(src + "/" + kCanary) || fs::exists(dst + "/" + kCanary) || fs::exists(d.path + "/" + kCanary);
    }
};

}  // namespace

TEST(PasteKill, HostileNamesReachCpAndRmWhole) {
    enum class Run { Paste, PasteAll, KillFile, KillAll };
    struct Case {
        const char* what;
        Run run;
        bool buffer;                     // the corpus is picked into the buffer
        const char* keys;                // answers to the confirmation
        std::set<std::string> srcLeft;   // besides the corpus when `corpusStays`
        bool corpusStays;
        std::set<std::string> dstExtra;  // besides the corpus, when it is copied
    };
    const Case cases[] = {
        {"paste", Run::Paste, false, "", {".hidden", "sub", "fifo"}, true, {}},
        {"paste all, files", Run::PasteAll, false, "Y", {".hidden", "sub", "fifo"}, true, {}},
        {"paste all, files and directories", Run::PasteAll, false, "OY", {".hidden", "sub", "fifo"}, true, {"sub", "fifo"}},
        {"paste buffer", Run::PasteAll, true, "Y", {".hidden", "sub", "fifo"}, true, {}},
        {"kill file", Run::KillFile, false, "", {".hidden", "sub", "fifo"}, false, {}},
        {"kill all, files", Run::KillAll, false, "Y", {".hidden", "sub"}, false, {}},
        {"kill all, files and directories", Run::KillAll, false, "OY", {".hidden"}, false, {}},
        {"kill buffer", Run::KillAll, true, "BY", {".hidden", "sub", "fifo"}, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealSession s;
        Corpus corp;
        App& app = s.app;
        fs::current_path(corp.src);
        s.script.move(300, 200).wait(100);
        for (const char* k = c.keys; *k; ++k) s.script.key(*k).wait(500);
        const bool copies = c.run == Run::Paste || c.run == Run::PasteAll;
        for (const auto& n : hostileNames()) {
            if (c.buffer) app.buffer.add("row " + n, corp.src + "/" + n);
            if (c.run == Run::Paste) {
                app.copySelection.sourceFile = corp.src + "/" + n;
                app.savedDirectoryPath = corp.dst;
                paste(app);
            } else if (c.run == Run::KillFile) {
                app.screen.input().pushKey(Key::character('Y'));
                app.selectedPath = corp.src + "/" + n;
                app.savedDirectoryPath = corp.src;
                killFile(app);
            }
        }
        app.savedDirectoryPath = copies ? corp.dst : corp.src;
        if (c.run == Run::PasteAll) {
            if (!c.buffer) app.copySelection.sourceDirectory = corp.src;
            EXPECT_EQ(pasteAll(app), Next::Reload);
        }
        if (c.run == Run::KillAll) {
            EXPECT_EQ(killAll(app), Next::Reload);
        }
        std::set<std::string> srcLeft = c.srcLeft, dstAfter = c.dstExtra;
        if (c.corpusStays) srcLeft.insert(hostileNames().begin(), hostileNames().end());
        if (copies) dstAfter.insert(hostileNames().begin(), hostileNames().end());
        EXPECT_EQ(names(corp.src), srcLeft);
        EXPECT_EQ(names(corp.dst), dstAfter);
        EXPECT_FALSE(corp.canary());
        EXPECT_EQ(app.selectedPath, app.savedDirectoryPath);
    }
}

namespace {

constexpr int kStep = 700;

// Button centres: x in pixels, y in the label's row.
struct At {
    int x, y;
};
constexpr At kYes{240, 456}, kNo{372, 456}, kOptions{580, 392}, kBufferButton{560, 456};
constexpr At kPasteAllButton{140, 408};

void click(Session& s, At at) { s.script.click(at.x, at.y).wait(kStep); }
void key(Session& s, int k) { s.script.key(k).wait(kStep); }
void down(Session& s, int n) {
    for (int i = 0; i < n; ++i) s.script.ext(scan::Down).wait(200);
}
// The text of a row inside the frame's side lines, without outer blanks.
std::string trimmed(std::string t) {
    if (t.size() >= 80) t = t.substr(1, 78);
    const auto b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
    return b == std::string::npos ? "" : t.substr(b, e - b + 1);
}

}  // namespace

TEST(PasteKill, TheBufferChoicesThenACopySelection) {
    RealSession s;
    const std::string src = s.d.dir("src"), dst = s.d.dir("dst");
    for (const char* f : {"src/f1", "src/f2", "src/.h"}) s.d.file(f, "1");
    s.start(1, src);
    auto question = [&] { return trimmed(s.row(25).substr(1, 58)); };
    auto goTo = [&](const std::string& dir) { s.script.then([&, dir] { s.app.selectedPath = dir; }).ext(scan::F3).wait(kStep); };
    down(s, 1);
    key(s, 'Q');
    goTo(dst);
    click(s, kPasteAllButton);  // only the buffer is set: it opens on the buffer choice
    click(s, kOptions);         // nothing to copy but the buffer: ignored
    s.script.then([&] {
        EXPECT_EQ(question(), "Paste Buffer Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp BufferFiles " + dst);
    });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(names(dst), (std::set<std::string>{"f1"}));
        EXPECT_EQ(s.programDir.read("cp_buffer.txt"), "cp " + src + "/f1 " + dst + "\n");
    });
    goTo(src);
    down(s, 2);
    key(s, 'X');
    click(s, kBufferButton);
    s.script.then([&] { EXPECT_EQ(question(), "Kill Buffer Files?"); });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(names(src), (std::set<std::string>{".h", "f2"}));
        EXPECT_EQ(s.programDir.read("Kl_buffer.txt"), "rm " + src + "/f1\n");
        EXPECT_EQ(s.row(33).substr(94, 3), " 0 ");
    });
    down(s, 1);
    key(s, 'C');
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(27)), src);
        EXPECT_EQ(trimmed(s.row(28).substr(1, 60)), src + "/f2");
    });
    goTo(dst);
    click(s, kPasteAllButton);
    s.script.then([&] { EXPECT_EQ(question(), "Paste all Files ?"); });
    key(s, 'o');
    key(s, 'O');
    s.script.then([&] {
        EXPECT_EQ(question(), "Paste all Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp " + src + "/* " + dst);
    });
    click(s, kBufferButton);
    s.script.then([&] { EXPECT_EQ(question(), "No Buffer Files."); });
    s.script.wait(2000).then([&] { EXPECT_EQ(question(), "Paste all Files ?"); });
    click(s, kYes);
    s.script.then([&] { EXPECT_EQ(names(dst), (std::set<std::string>{"f1", "f2"})); });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
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
    const std::set<std::string> all{".hid", "a", "empty", "full"};
    const Case cases[] = {
        {"K then N", 1, "K|N", "Kill this File ?", "rm %/a", all},
        {"K then Y", 1, "K|Y", "Kill this File ?", "rm %/a", {".hid", "empty", "full"}},
        {"R on an empty directory", 2, "R|Y", "Remove This Directory ?", "%/empty", {".hid", "a", "full"}},
        {"R on a directory that holds files", 3, "R|Y", "Remove This Directory ?", "%/full", all},
        {"P on the parent", 0, "P|", "", "Pick a file or directory.", all},
        {"P without a copy selection", 1, "P|", "", "Must first make a Copy selection.", all},
        {"P on a directory", 2, "P|", "", "", all},
        {"X then Yes", 1, "X|y", "Kill all Files?", "rm %/*", {".hid", "empty", "full"}},
        {"X, Options, Yes", 1, "Xo|y", "Kill all Files and Directories?", "rm -r %/*", {".hid"}},
        {"X, Options twice, Yes", 1, "Xoo|y", "Kill all Files?", "rm %/*", {".hid", "empty", "full"}},
        {"X, Options, No", 1, "Xo|n", "Kill all Files and Directories?", "rm -r %/*", all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealSession s;
        const TempDir& d = s.d;
        for (const char* f : {".hid", "a", "full/x"}) d.file(f, "1");
        d.dir("empty");
        s.start();
        down(s, c.downs);
        const std::string input = c.input;
        const auto act = [&](char k) {
            if (std::islower(k)) click(s, k == 'o' ? kOptions : k == 'y' ? kYes : kNo);
            else s.script.key(k).wait(input.back() == '|' ? 300 : kStep);  // messages go sooner
        };
        for (size_t i = 0; input[i] != '|'; ++i) act(input[i]);
        s.script.then([&] {
            std::string row27 = c.row27;
            if (row27.find('%') != std::string::npos) row27.replace(row27.find('%'), 1, d.path);
            EXPECT_EQ(trimmed(s.row(25).substr(1, 58)).rfind(c.row25, 0), 0u) << s.row(25);
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
            EXPECT_EQ(names(d.path), c.left);
            EXPECT_EQ(s.app.selectedPath, d.path);
            EXPECT_EQ(s.screen().visiblePage(), 0);
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
    }
}

TEST(PasteKill, ABufferOf1001LongPathsIsCopiedAndRemovedCompletely) {
    RealSession s;
    const TempDir& d = s.d;
    const std::string src = d.dir(std::string(100, 's')), dst = d.dir("dst");
    std::vector<std::string> paths;
    for (int i = 0; i < 1001; ++i) {
        const std::string name = std::string(45, 'n') + std::to_string(i);
        d.file(std::string(100, 's') + "/" + name, "x");
        paths.push_back(src + "/" + name);
        s.app.buffer.add("row" + std::to_string(i), paths.back());
    }
    fs::current_path(dst);
    s.script.move(300, 200).wait(100).key('Y').wait(3000).key('B').wait(3000).key('Y');
    s.app.savedDirectoryPath = dst;
    EXPECT_EQ(pasteAll(s.app), Next::Reload);
    EXPECT_EQ(names(dst).size(), 1001u);
    EXPECT_GE(s.runner.programCalls.size(), 2u);  // more than one call's worth of arguments
    s.app.savedDirectoryPath = src;
    EXPECT_EQ(killAll(s.app), Next::Reload);
    EXPECT_TRUE(names(src).empty());
    EXPECT_EQ(s.app.buffer.count, 0);
    std::string record = "rm";
    for (const auto& p : paths) record += " " + p;
    EXPECT_EQ(s.programDir.read("Kl_buffer.txt"), record + "\n");
}
