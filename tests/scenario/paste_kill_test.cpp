// The Copy/Kill Buffer, paste, kill and remove directory with the real cp and rm: the panels, the disk, and no name doing harm.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cctype>

#include "session.h"
#include "../unit/hostile_names.h"
#include "fileops/paste_kill.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

constexpr int kGap = 600;  // longer than the key settle after Q and W

// Plays `actions` one every kGap ms: 'j' Down, 'k' Up, anything else a key.
void play(Session& s, const std::string& actions) {
    for (char a : actions) (a == 'j' ? s.script.ext(scan::Down) : a == 'k' ? s.script.ext(scan::Up) : s.script.key(a)).wait(kGap);
}
std::string count(Session& s) { return s.row(33).substr(94, 4); }

// A Session whose cp and rm really run, with no terminal input.
struct RealSession : Session {
    TempRootRunner real;
    RealSession() { runner.onLaunch = [this](const Launch& l) { return real.launch(l); }; }
};

constexpr int kStep = 700;
constexpr Point kYes{240, 456}, kNo{372, 456}, kOptions{580, 392}, kBufferButton{560, 456}, kPasteAllButton{140, 408};

void click(Session& s, Point at) { s.script.click(at.x, at.y).wait(kStep); }
void downs(Session& s, int n) { for (int i = 0; i < n; ++i) s.script.ext(scan::Down).wait(200); }
// The text of a row inside the frame's side lines, without outer blanks.
std::string trimmed(std::string t) {
    if (t.size() >= 80) t = t.substr(1, 78);
    const auto b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
    return b == std::string::npos ? "" : t.substr(b, e - b + 1);
}
std::string question(Session& s) { return trimmed(s.row(25).substr(1, 58)); }

}  // namespace

TEST(CopyKillBuffer, PickingOneByOneAndInRuns) {
    // actions (cursor on ".."; entries a b c d e, then the directory sub), picked, row 27 after the last
    const std::tuple<const char*, std::vector<std::string>, std::string> cases[] = {
        {"Q", {}, "Files Only."}, {"jjjjjjQ", {}, "Files Only."}, {"jQQ", {}, ""}, {"jQjQ", {"a", "b"}, ""},
        {"jQjW", {"a", "b"}, ""}, {"jQjjjW", {"a", "b", "c", "d"}, ""}, {"jjjjQkkkW", {"d", "a", "b", "c"}, ""},
        {"jjQW", {"b", "a"}, ""}, {"jQW", {"a", ".."}, ""},  // W on the anchor at index 2 takes in the parent
        {"jW", {}, "Need File Start."}, {"jQjjjjjW", {"a"}, "Files Only."}, {"jQjQZ", {}, ""},
    };
    for (const auto& [actions, picked, message] : cases) {
        SCOPED_TRACE(actions);
        Session s;
        for (const char* name : {"a", "b", "c", "d", "e"}) s.dir.file(name, name);
        s.dir.dir("sub");
        s.browse();
        play(s, actions);
        s.script.wait(-kGap + 100).then([&] {
            std::vector<std::string> expected;
            for (const std::string& name : picked) expected.push_back(s.dir.path + "/" + name);
            EXPECT_EQ(std::tuple(s.row(27).substr(1, message.size()), s.app.buffer.filePaths(), s.app.buffer.fileList().empty()), std::tuple(message, expected, expected.empty()));
        });
        s.script.wait(2500);
        EXPECT_EQ(s.quit(), 0);
    }
}

// A picked row shows picked wherever the same row text is listed; the panel
// names the buffer by the last command and counts it.
TEST(CopyKillBuffer, HighlightFollowsTheRowTextIntoOtherDirectoriesAndThePanelCounts) {
    Session s;
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    for (const char* name : {"one/same", "two/same", "two/other"})
        std::filesystem::last_write_time(s.dir.file(name, "12345"), when);
    s.settings(1, 0, s.dir.path + "/one", 1);
    s.script.wait(1000);
    play(s, "jQ");
    // Drawn picked over the cursor.
    s.script.then([&] { EXPECT_EQ(std::tuple(s.cell(6, 2), s.row(31).substr(81, 17), count(s)), std::tuple(CellRead{'s', 15, 3}, "Copy/Paste Buffer", " 1  ")); });
    s.script.then([&] { s.app.selectedPath = s.dir.path + "/two"; }).ext(scan::F3).wait(kGap).then([&] {
        EXPECT_EQ(std::tuple(s.listName(3), s.cell(7, 2), s.cell(6, 2), s.row(31).substr(81, 17)),
                  std::tuple("same", CellRead{'s', 15, 3}, CellRead{'o', 0, 2}, "Copy/Kill  Buffer"));
    });
    // "View" writes buffer.txt and starts the editor through the shell once for a held click; "Clear" empties the buffer and the count.
    s.script.click(xOfColumn(91), yOfRow(33)).wait(kGap).then([&] {
        EXPECT_EQ(s.programDir.read("buffer.txt"), s.app.buffer.rows[1] + "\n\n" + s.dir.path + "/one/same \n");
        EXPECT_EQ(s.runner.shellLines, (std::vector<std::string>{"/usr/local/bin/defaulttexteditor " + s.programDir.path + "/buffer.txt"}));
    });
    s.script.click(xOfColumn(85), yOfRow(33)).wait(kGap).then([&] { EXPECT_EQ(std::tuple(s.app.buffer.count, s.cell(7, 2), count(s)), std::tuple(0, CellRead{'s', 0, 2}, " 0  ")); });
    EXPECT_EQ(s.quit(), 0);
}

// src holds the corpus, a hidden file, a subdirectory with a file and a FIFO; dst is empty.
// The shell starts in src, where a canary would land. Keys: the answers given, in order.
TEST(PasteKill, HostileNamesReachCpAndRmWhole) {
    enum class Run { Paste, PasteAll, KillFile, KillAll };
    const std::set<std::string> extras{".hidden", "sub", "fifo"};
    const std::tuple<Run, bool, const char*, std::set<std::string>, std::set<std::string>> cases[] = {
        // run, corpus picked into the buffer, keys, src left and dst extras besides the corpus
        {Run::Paste, false, "", extras, {}},
        {Run::PasteAll, false, "Y", extras, {}},
        {Run::PasteAll, false, "OY", extras, {"sub", "fifo"}},
        {Run::PasteAll, true, "Y", extras, {}},
        {Run::KillFile, false, "", extras, {}},
        {Run::KillAll, false, "Y", {".hidden", "sub"}, {}},
        {Run::KillAll, false, "OY", {".hidden"}, {}},
        {Run::KillAll, true, "BY", extras, {}},
    };
    for (const auto& [run, buffer, keys, srcExtra, dstExtra] : cases) {
        SCOPED_TRACE(std::to_string(int(run)) + keys + (buffer ? " buffer" : ""));
        RealSession s;
        App& app = s.app;
        const std::string src = s.dir.dir("src"), dst = s.dir.dir("dst");
        for (const auto& n : hostileNames()) s.dir.file("src/" + n, n);
        s.dir.file("src/.hidden", "h");
        s.dir.file("src/sub/inner", "i");
        mkfifo((src + "/fifo").c_str(), 0600);
        fs::current_path(src);
        s.script.move(300, 200).wait(100);
        for (const char* k = keys; *k; ++k) s.script.key(*k).wait(500);
        const bool copies = run == Run::Paste || run == Run::PasteAll;
        for (const auto& n : hostileNames()) {
            if (buffer) app.buffer.add("row " + n, src + "/" + n);
            if (run == Run::Paste) {
                app.copySelection.sourceFile = src + "/" + n;
                app.savedDirectoryPath = dst;
                paste(app);
            } else if (run == Run::KillFile) {
                app.screen.input().pushKey(Key::character('Y'));
                app.selectedPath = src + "/" + n;
                app.savedDirectoryPath = src;
                killFile(app);
            }
        }
        app.savedDirectoryPath = copies ? dst : src;
        if (run == Run::PasteAll && !buffer) app.copySelection.sourceDirectory = src;
        if (run == Run::PasteAll) { EXPECT_EQ(pasteAll(app), Next::Reload); }
        if (run == Run::KillAll) { EXPECT_EQ(killAll(app), Next::Reload); }
        std::set<std::string> srcLeft = srcExtra, dstAfter = dstExtra;
        if (copies) srcLeft.insert(hostileNames().begin(), hostileNames().end()), dstAfter.insert(hostileNames().begin(), hostileNames().end());
        EXPECT_EQ(std::pair(entryNames(src), entryNames(dst)), std::pair(srcLeft, dstAfter));
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
    const auto goTo = [&](const std::string& dir) { s.script.then([&, dir] { s.app.selectedPath = dir; }).ext(scan::F3).wait(kStep); };
    const auto asks = [&](const std::string& q, const std::string& row27 = "") {
        s.script.then([&, q, row27] { EXPECT_EQ(question(s) + "|" + (row27.empty() ? "" : trimmed(s.row(27))), q + "|" + row27); });
    };
    downs(s, 1);
    s.script.key('Q').wait(kStep);
    goTo(dst);
    click(s, kPasteAllButton);  // only the buffer is set: it opens on the buffer choice
    click(s, kOptions);         // nothing to copy but the buffer: ignored
    asks("Paste Buffer Files?", "cp BufferFiles " + dst);
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(entryNames(dst), (std::set<std::string>{"f1"}));
        EXPECT_EQ(s.programDir.read("cp_buffer.txt"), "cp " + src + "/f1 " + dst + "\n");
    });
    goTo(src);
    downs(s, 2);
    s.script.key('X').wait(kStep);
    click(s, kBufferButton);
    asks("Kill Buffer Files?");
    click(s, kYes);
    s.script.then([&] {
        EXPECT_EQ(entryNames(src), (std::set<std::string>{".h", "f2"}));
        EXPECT_EQ(s.programDir.read("Kl_buffer.txt") + s.row(33).substr(94, 3), "rm " + src + "/f1\n 0 ");
    });
    downs(s, 1);
    s.script.key('C').wait(kStep).then([&] { EXPECT_EQ(trimmed(s.row(27)) + "|" + trimmed(s.row(28).substr(1, 60)), src + "|" + src + "/f2"); });
    goTo(dst);
    click(s, kPasteAllButton);
    asks("Paste all Files ?");
    s.script.key('o').wait(kStep).key('O').wait(kStep);
    asks("Paste all Files?", "cp " + src + "/* " + dst);
    click(s, kBufferButton);
    asks("No Buffer Files.");
    s.script.wait(2000);
    asks("Paste all Files ?");
    click(s, kYes);
    s.script.then([&] { EXPECT_EQ(entryNames(dst), (std::set<std::string>{"f1", "f2"})); });
    EXPECT_EQ(s.quit(), 0);
}

// Kill, kill all (its options clicked), remove directory and paste on the wrong entry: the dialog
// or message, then what is left on disk. Input: before '|' shown, then checked; after it the answer;
// o y n are clicks on Options, Yes, No; % in row 27 stands for the directory.
TEST(PasteKill, KillKillAllRemoveDirectoryAndPasteOnTheWrongEntry) {
    const std::set<std::string> all{".hid", "a", "empty", "full"}, files{".hid", "empty", "full"};
    const std::tuple<int, const char*, const char*, const char*, std::set<std::string>> cases[] = {
        {1, "K|N", "Kill this File ?", "rm %/a", all},
        {1, "K|Y", "Kill this File ?", "rm %/a", files},
        {2, "R|Y", "Remove This Directory ?", "%/empty", {".hid", "a", "full"}},
        {3, "R|Y", "Remove This Directory ?", "%/full", all},  // holds files
        {0, "P|", "", "Pick a file or directory.", all},
        {1, "P|", "", "Must first make a Copy selection.", all},
        {2, "P|", "", "", all},
        {1, "X|y", "Kill all Files?", "rm %/*", files},
        {1, "Xo|y", "Kill all Files and Directories?", "rm -r %/*", {".hid"}},
        {1, "Xoo|y", "Kill all Files?", "rm %/*", files},
        {1, "Xo|n", "Kill all Files and Directories?", "rm -r %/*", all},
    };
    for (const auto& [down, inputText, row25, row27Text, left] : cases) {
        const std::string input = inputText;
        SCOPED_TRACE(input + std::to_string(down));
        RealSession s;
        const TempDir& d = s.dir;
        for (const char* f : {".hid", "a", "full/x"}) d.file(f, "1");
        d.dir("empty");
        s.browse().move(300, 200);
        downs(s, down);
        const auto act = [&](char k) {
            if (std::islower(k)) click(s, k == 'o' ? kOptions : k == 'y' ? kYes : kNo);
            else s.script.key(k).wait(input.back() == '|' ? 300 : kStep);  // messages go sooner
        };
        for (size_t i = 0; input[i] != '|'; ++i) act(input[i]);
        s.script.then([&] {
            std::string row27 = row27Text;
            if (row27.find('%') != std::string::npos) row27.replace(row27.find('%'), 1, d.path);
            EXPECT_EQ(question(s).rfind(row25, 0), 0u) << s.row(25);
            EXPECT_EQ(trimmed(s.row(27)), row27);
            if (input[0] == 'X') { EXPECT_EQ(s.cell(26, 10), (CellRead{'C', 4, 15})); }  // "Caution!"
        });
        if (input.back() != '|') act(input.back());
        if (down == 3) s.script.wait(700).then([&] { EXPECT_EQ(trimmed(s.row(28)) + "|" + trimmed(s.row(29)), "Error: unable to remove Directory|Remove Files in Directory"); });
        s.script.wait(8000).then([&] { EXPECT_EQ(std::tuple(entryNames(d.path), s.app.selectedPath, s.screen().visiblePage()), std::tuple(left, d.path, 0)); });
        EXPECT_EQ(s.quit(), 0);
    }
}


TEST(PasteKill, A1001LongPathBufferIsCopiedAndRemovedWhole) {
    RealSession s;
    const std::string src = s.dir.dir(std::string(100, 's')), dst = s.dir.dir("dst");
    for (int i = 0; i < 1001; ++i)
        s.app.buffer.add("row" + std::to_string(i), s.dir.file(std::string(100, 's') + "/" + std::string(45, 'n') + std::to_string(i), "x"));
    fs::current_path(dst);
    s.script.move(300, 200).wait(100).key('Y').wait(3000).key('B').wait(3000).key('Y');
    s.app.savedDirectoryPath = dst;
    EXPECT_EQ(pasteAll(s.app), Next::Reload);
    EXPECT_EQ(std::distance(fs::directory_iterator(dst), fs::directory_iterator()), 1001);
    EXPECT_GE(s.runner.programCalls.size(), 2u);  // more than one call's worth of arguments
    s.app.savedDirectoryPath = src;
    EXPECT_EQ(killAll(s.app), Next::Reload);
    EXPECT_TRUE(fs::is_empty(src));
}
