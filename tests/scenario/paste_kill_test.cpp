// Paste, kill and remove directory against real directories with the real
// cp and rm: what the panels show, what is left on disk, and that no name
// can make anything else happen.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "../unit/hostile_names.h"
#include "fileops/paste_kill.h"
#include "fileops/utility_run.h"
#include "session.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

// A Session whose cp and rm really run, with no terminal input.
struct RealSession : Session {
    RealRunner real;
    RealSession() {
        runner.onProgram = [this](const ProgramCall& c) { return real.startProgramWithoutInput(c.program, c.args); };
    }
};

std::set<std::string> names(const std::string& dir) { return entryNames(dir); }

std::set<std::string> hostileSet() { return {hostileNames().begin(), hostileNames().end()}; }

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
    struct Case {
        const char* what;
        const char* keys;                          // answers to the confirmation
        std::function<Next(App&, Corpus&)> run;    // after the Select step's hand-off
        std::set<std::string> srcLeft, dstAfter;   // {"*corpus*"} stands for every hostile name
    };
    const std::set<std::string> corpus = hostileSet();
    auto with = [&](std::set<std::string> extra) {
        extra.insert(corpus.begin(), corpus.end());
        return extra;
    };
    auto pickAll = [](App& app, Corpus& c) {
        for (const auto& n : hostileNames()) app.buffer.add("row " + n, c.src + "/" + n);
    };
    const Case cases[] = {
        {"paste", "",
         [](App& app, Corpus& c) {
             for (const auto& n : hostileNames()) {
                 app.copySelection.sourceFile = c.src + "/" + n;
                 app.savedDirectoryPath = c.dst;
                 paste(app);
             }
             return Next::Reload;
         },
         with({".hidden", "sub", "fifo"}), corpus},
        {"paste all, files", "Y",
         [](App& app, Corpus& c) {
             app.copySelection.sourceDirectory = c.src;
             app.savedDirectoryPath = c.dst;
             return pasteAll(app);
         },
         with({".hidden", "sub", "fifo"}), corpus},
        {"paste all, files and directories", "OY",
         [](App& app, Corpus& c) {
             app.copySelection.sourceDirectory = c.src;
             app.savedDirectoryPath = c.dst;
             return pasteAll(app);
         },
         with({".hidden", "sub", "fifo"}), with({"sub", "fifo"})},
        {"paste buffer", "Y",
         [&](App& app, Corpus& c) {
             pickAll(app, c);
             app.savedDirectoryPath = c.dst;
             return pasteAll(app);
         },
         with({".hidden", "sub", "fifo"}), corpus},
        {"kill file", "",
         [](App& app, Corpus& c) {
             for (const auto& n : hostileNames()) {
                 app.screen.input().pushKey(Key::character('Y'));
                 app.selectedPath = c.src + "/" + n;
                 app.savedDirectoryPath = c.src;
                 killFile(app);
             }
             return Next::Reload;
         },
         {".hidden", "sub", "fifo"}, {}},
        {"kill all, files", "Y",
         [](App& app, Corpus& c) {
             app.savedDirectoryPath = c.src;
             return killAll(app);
         },
         {".hidden", "sub"}, {}},
        {"kill all, files and directories", "OY",
         [](App& app, Corpus& c) {
             app.savedDirectoryPath = c.src;
             return killAll(app);
         },
         {".hidden"}, {}},
        {"kill buffer", "BY",
         [&](App& app, Corpus& c) {
             pickAll(app, c);
             app.savedDirectoryPath = c.src;
             return killAll(app);
         },
         {".hidden", "sub", "fifo"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealSession s;
        Corpus corp;
        fs::current_path(corp.src);
        s.script.move(300, 200).wait(100);
        for (const char* k = c.keys; *k; ++k) s.script.key(*k).wait(500);
        EXPECT_EQ(c.run(s.app, corp), Next::Reload);
        EXPECT_EQ(names(corp.src), c.srcLeft);
        EXPECT_EQ(names(corp.dst), c.dstAfter);
        EXPECT_FALSE(corp.canary());
        EXPECT_EQ(s.app.selectedPath, corp.src == s.app.savedDirectoryPath ? corp.src : corp.dst);
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

TEST(PasteKill, KillAllWithItsOptionsAsClicked) {
    struct Case {
        int optionClicks;
        At answer;
        const char* question;
        const char* line;  // after the directory
        std::set<std::string> left;
    };
    const Case cases[] = {
        {0, kYes, "Kill all Files?", "rm %/*", {".hid", "zsub"}},
        {1, kYes, "Kill all Files and Directories?", "rm -r %/*", {".hid"}},
        {2, kYes, "Kill all Files?", "rm %/*", {".hid", "zsub"}},
        {1, kNo, "Kill all Files and Directories?", "rm -r %/*", {".hid", "a1", "a2", "zsub"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.optionClicks);
        RealSession s;
        TempDir d;
        d.file("a1", "1");
        d.file("a2", "2");
        d.file(".hid", "h");
        d.file("zsub/inner", "i");
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).move(300, 200);
        down(s, 1);
        key(s, 'X');
        s.script.then([&] {
            EXPECT_EQ(s.cell(26, 10), (CellRead{'C', 4, 15}));
            EXPECT_EQ(trimmed(s.row(26).substr(1, 20)), "Caution!");
        });
        for (int i = 0; i < c.optionClicks; ++i) click(s, kOptions);
        s.script.then([&] {
            std::string line = c.line;
            line.replace(line.find('%'), 1, d.path);
            EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), c.question);
            EXPECT_EQ(trimmed(s.row(27)), line);
            EXPECT_EQ(s.row(29).substr(64, 11), "Kill Buffer");
        });
        click(s, c.answer);
        s.script.then([&] {
            EXPECT_EQ(names(d.path), c.left);
            EXPECT_EQ(s.app.selectedPath, d.path);
            EXPECT_EQ(s.screen().visiblePage(), 0);
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
    }
}

TEST(PasteKill, CopySelectionPasteAllAndTheBufferChoices) {
    RealSession s;
    TempDir d;
    const std::string src = d.dir("src"), dst = d.dir("dst");
    d.file("src/f1", "1");
    d.file("src/f2", "2");
    d.file("src/.h", "h");
    s.settings(0, 0, src, 1);
    s.script.wait(1000).move(300, 200);
    down(s, 1);
    key(s, 'C');
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(27)), src);
        EXPECT_EQ(trimmed(s.row(28).substr(1, 60)), src + "/f1");
        s.app.selectedPath = dst;  // as if the user had walked there
    });
    s.script.ext(scan::F3).wait(kStep);
    click(s, kPasteAllButton);
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "Paste all Files ?");
        EXPECT_EQ(trimmed(s.row(27)), "cp " + src + "/* " + dst);
    });
    key(s, 'o');
    key(s, 'O');
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "Paste all Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp " + src + "/* " + dst);
    });
    click(s, kBufferButton);
    s.script.then([&] { EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "No Buffer Files."); });
    s.script.wait(2000).then([&] { EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "Paste all Files ?"); });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(names(dst), (std::set<std::string>{"f1", "f2"}));
        EXPECT_EQ(s.app.selectedPath, dst);
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(PasteKill, PasteBufferAndKillBufferWithOnlyTheBufferSet) {
    RealSession s;
    TempDir d;
    const std::string src = d.dir("src"), dst = d.dir("dst");
    d.file("src/f1", "1");
    d.file("src/f2", "2");
    s.settings(1, 0, src, 1);
    s.script.wait(1000).move(300, 200);
    down(s, 1);
    key(s, 'Q');
    s.script.then([&] { s.app.selectedPath = dst; }).ext(scan::F3).wait(kStep);
    click(s, kPasteAllButton);
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "Paste Buffer Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp BufferFiles " + dst);
    });
    click(s, kOptions);  // nothing to copy but the buffer: ignored
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "Paste Buffer Files?");
        EXPECT_EQ(trimmed(s.row(27)), "cp BufferFiles " + dst);
    });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(names(dst), (std::set<std::string>{"f1"}));
        EXPECT_EQ(s.programDir.read("cp_buffer.txt"), "cp " + src + "/f1 " + dst + "\n");
        EXPECT_EQ(s.app.buffer.count, 1);
        s.app.selectedPath = src;
    });
    s.script.ext(scan::F3).wait(kStep);
    down(s, 2);
    key(s, 'X');
    click(s, kBufferButton);
    s.script.then([&] {
        EXPECT_EQ(trimmed(s.row(25).substr(1, 58)), "Kill Buffer Files?");
        EXPECT_EQ(trimmed(s.row(27)), "rm BufferFiles");
    });
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(names(src), (std::set<std::string>{"f2"}));
        EXPECT_EQ(s.programDir.read("Kl_buffer.txt"), "rm " + src + "/f1\n");
        EXPECT_EQ(s.app.buffer.count, 0);
        EXPECT_EQ(s.row(33).substr(94, 3), " 0 ");
    });
    s.script.key(27);
    EXPECT_EQ(s.run(), 0);
}

TEST(PasteKill, KillFileRemoveDirectoryAndPasteOnTheWrongEntry) {
    struct Case {
        const char* what;
        int downs;
        const char* keys;
        const char* row25;  // while the dialog or message shows; "" none
        const char* row27;  // the same, with % for the directory
        std::set<std::string> left;
    };
    const Case cases[] = {
        {"K then N", 1, "KN", "Kill this File ?", "rm %/a", {"a", "full", "empty"}},
        {"K then Y", 1, "KY", "Kill this File ?", "rm %/a", {"full", "empty"}},
        {"R on an empty directory", 2, "RY", "Remove This Directory ?", "%/empty", {"a", "full"}},
        {"R on a directory that holds files", 3, "RY", "Remove This Directory ?", "%/full", {"a", "full", "empty"}},
        {"P on the parent", 0, "P", "", "Pick a file or directory.", {"a", "full", "empty"}},
        {"P without a copy selection", 1, "P", "", "Must first make a Copy selection.", {"a", "full", "empty"}},
        {"P on a directory", 2, "P", "", "", {"a", "full", "empty"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealSession s;
        TempDir d;
        d.file("a", "1");
        d.dir("empty");
        d.file("full/x", "x");
        s.settings(0, 0, d.path, 1);
        s.script.wait(1000).move(300, 200);
        down(s, c.downs);
        const std::string keys = c.keys;
        s.script.key(keys[0]).wait(keys.size() > 1 ? kStep : 300).then([&] {
            std::string row27 = c.row27;
            if (row27.find('%') != std::string::npos) row27.replace(row27.find('%'), 1, d.path);
            EXPECT_EQ(trimmed(s.row(25).substr(1, 58)).rfind(c.row25, 0), 0u) << s.row(25);
            EXPECT_EQ(trimmed(s.row(27)), row27);
        });
        if (keys.size() > 1) s.script.key(keys[1]).wait(1000);
        if (std::string(c.what).find("holds") != std::string::npos)
            s.script.then([&] {
                EXPECT_EQ(trimmed(s.row(28)), "Error: unable to remove Directory");
                EXPECT_EQ(trimmed(s.row(29)), "Remove Files in Directory");
            });
        s.script.wait(8000).then([&] {
            EXPECT_EQ(names(d.path), c.left);
            EXPECT_EQ(s.app.selectedPath, d.path);
        });
        s.script.key(27);
        EXPECT_EQ(s.run(), 0);
    }
}

TEST(PasteKill, ABufferOf1001LongPathsIsCopiedAndRemovedCompletely) {
    RealSession s;
    TempDir d;
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
