// The Copy/Kill Buffer, paste, kill and remove directory with the real cp and rm: the panels, the disk, and no name doing harm.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

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
        {"jjQW", {"b", "a"}, ""}, {"jQW", {"a"}, ""},  // W on the anchor at index 2 leaves out the parent
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

// A pick is its file: a same-looking row elsewhere is not drawn picked, and a
// picked file that grew is still drawn picked and Q un-picks it. The panel
// names the buffer by the last command and counts it.
TEST(CopyKillBuffer, HighlightIsTheFileWhateverItsRowTextAndThePanelCounts) {
    Session s;
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    for (const char* name : {"one/same", "two/same", "two/other"})
        std::filesystem::last_write_time(s.dir.file(name, "12345"), when);
    s.settings(1, 0, s.dir.path + "/one", 1);
    s.script.wait(1000);
    play(s, "jQ");
    // Drawn picked over the cursor.
    s.script.then([&] { EXPECT_EQ(std::tuple(s.cell(6, 2), s.row(31).substr(81, 17), count(s)), std::tuple(CellRead{'s', 15, 3}, "Copy/Paste Buffer", " 1  ")); });
    const auto goTo = [&](const char* sub) { s.script.then([&, sub] { s.app.selectedPath = s.dir.path + sub; }).ext(scan::F3).wait(kGap); };
    goTo("/two");
    s.script.then([&] {
        EXPECT_EQ(std::tuple(s.listName(3), s.cell(7, 2), s.cell(6, 2), s.row(31).substr(81, 17)),
                  std::tuple("same", CellRead{'s', 0, 2}, CellRead{'o', 0, 2}, "Copy/Kill  Buffer"));
    });
    // "View" writes buffer.txt and starts the editor through the shell once for a held click.
    s.script.click(xOfColumn(91), yOfRow(33)).wait(kGap).then([&] {
        EXPECT_EQ(s.programDir.read("buffer.txt"), s.app.buffer.rows[1] + "\n\n" + s.dir.path + "/one/same \n");
        EXPECT_EQ(s.runner.shellLines, (std::vector<std::string>{"/usr/local/bin/defaulttexteditor " + s.programDir.path + "/buffer.txt"}));
        s.dir.file("one/same", "1234567890");  // a new size and date: a new row text
    });
    goTo("/one");
    s.script.then([&] { EXPECT_EQ(s.cell(6, 2), (CellRead{'s', 15, 3})); });
    play(s, "jQ");
    s.script.then([&] { EXPECT_EQ(std::tuple(s.app.buffer.count, s.app.buffer.fileList()), std::tuple(0, "")); });
    play(s, "Q");
    // "Clear" empties the buffer and the count.
    s.script.click(xOfColumn(85), yOfRow(33)).wait(kGap).then([&] { EXPECT_EQ(std::tuple(s.app.buffer.count, s.cell(6, 2), count(s)), std::tuple(0, CellRead{'s', 0, 2}, " 0  ")); });
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

namespace {

// The tree under `dir` as one line: a file is name:content, a link name@, a directory name{...}.
std::string tree(const fs::path& dir) {
    std::string out;
    for (const auto& name : entryNames(dir)) {
        const fs::path p = dir / name;
        out += out.empty() ? "" : " ";
        if (fs::is_symlink(p)) out += name + "@";
        else if (fs::is_directory(p)) out += name + "{" + tree(p) + "}";
        else out += name + ":" + (std::stringstream() << std::ifstream(p).rdbuf()).str();
    }
    return out;
}

}  // namespace

// Nothing is replaced, copied into itself or lost without a word. Actions: '1' to '4' go to src, dst,
// src/sub, e; 'j' Down; '-' removes src/a behind Kestrel's back; '|' checks rows 25 and 27 (row 25
// only when given); other letters are keys. dst/b is a link to keep/f.
TEST(PasteKill, AsksBeforeReplacingRefusesIntoItselfAndSkipsVanishedPicks) {
    const std::string before = "dst{a:old b@ c:old} e{z:z} keep{f:keep} src{a:A b:B sub{x:x}}";
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"1jC2jP|N", "Replace Existing Files ?", "a already exists", nullptr},
        {"1jC2jP|Y", "Replace Existing Files ?", "a already exists", "dst{a:A b@ c:old} e{z:z} keep{f:keep} src{a:A b:B sub{x:x}}"},
        {"1jC2jAY|Y", "Replace Existing Files ?", "a and 1 more already exist", "dst{a:A b:B c:old} e{z:z} keep{f:keep} src{a:A b:B sub{x:x}}"},
        {"1jC2jAY|N", "Replace Existing Files ?", "a and 1 more already exist", nullptr},
        {"1jC3jAOY|", "", "Cannot copy a directory into itself: sub", nullptr},
        {"1jCjP|", "", "Cannot copy a file onto itself: a", nullptr},
        {"1jQjQ-4jAY|", "", "No longer there, skipped: a", "dst{a:old b@ c:old} e{b:B z:z} keep{f:keep} src{b:B sub{x:x}}"},
        {"1jQjQ-XBY|", "", "No longer there, skipped: a", "dst{a:old b@ c:old} e{z:z} keep{f:keep} src{sub{x:x}}"},
    };
    for (const auto& [actions, row25, row27, changed] : cases) {
        SCOPED_TRACE(actions);
        RealSession s;
        const TempDir& d = s.dir;
        for (const char* f : {"dst/a:old", "dst/c:old", "e/z:z", "keep/f:keep", "src/a:A", "src/b:B", "src/sub/x:x"}) {
            const std::string entry = f;
            d.file(entry.substr(0, entry.find(':')), entry.substr(entry.find(':') + 1));
        }
        fs::create_directory_symlink("../keep/f", d.path + "/dst/b");
        s.browse().move(300, 200);
        for (const char* a = actions; *a; ++a) {
            if (*a >= '1' && *a <= '4') {
                const std::string sub = std::vector<std::string>{"/src", "/dst", "/src/sub", "/e"}[*a - '1'];
                s.script.then([&, sub] { s.app.selectedPath = d.path + sub; }).ext(scan::F3).wait(kStep);
            } else if (*a == 'j') {
                downs(s, 1);
            } else if (*a == '-') {
                s.script.then([&] { fs::remove(d.path + "/src/a"); });
            } else if (*a == '|') {
                s.script.then([&, row25 = std::string(row25), row27 = std::string(row27)] {
                    if (!row25.empty()) { EXPECT_EQ(question(s), row25); }
                    EXPECT_EQ(trimmed(s.row(27)), row27);
                });
            } else {
                s.script.key(*a).wait(kStep);
            }
        }
        s.script.wait(2500).then([&] { EXPECT_EQ(tree(d.path), changed ? changed : before); });
        EXPECT_EQ(s.quit(), 0);
    }
}

namespace {

// A small tmpfs of the test's own over `at`, holding the file "x"; read-only unless it is the
// full one. Only inside the confined namespace, where it vanishes with the run.
struct SmallDisk {
    std::string at;
    bool mounted = false;
    SmallDisk(const std::string& path, bool readOnly) : at(path) {
        const char* confined = std::getenv("KESTREL_CONFINED");
        if (!confined || std::string(confined) != "1") return;
        mounted = mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (mounted) std::ofstream(at + "/x") << "x";
        if (mounted && readOnly) mounted = mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    ~SmallDisk() { if (!at.empty()) umount2(at.c_str(), MNT_DETACH); }
};

}  // namespace

// Failures of cp, rm, mkdir, the archiver and the editor, and the refusals, said on the message row
// (the remove-directory ones on the panel). Dirs: src (a, big), ro and full (small disks holding x),
// w (a, b), l (lnk, a link to src). Keys: C copy, P paste, g<dir> go there, d Down, others as typed.
TEST(PasteKill, FailuresAndRefusalsAreSaid) {
    const char* confined = std::getenv("KESTREL_CONFINED");
    if (!confined || std::string(confined) != "1")
        GTEST_SKIP() << "not confined: the read-only and full small disks cannot be mounted here";
    // start, keys, row, what the row begins with, and ends with
    const std::tuple<const char*, const char*, int, const char*, const char*> cases[] = {
        {"src", "dCgrodP", 27, "Paste failed: cp: cannot create regular file '", ": Read-only file system"},
        {"src", "ddCgfulldP", 27, "Paste failed: cp: error writing '", ": No space left on device"},
        {"ro", "dKY", 27, "Kill failed: rm: cannot remove '", ": Read-only file system"},
        {"ro", "dXY", 27, "Kill failed: rm: cannot remove '", ": Read-only file system"},
        {"ro", "/new\r", 27, "New Directory failed: Read-only file system", ""},
        {"w", "dFb\r", 27, "Not renamed: b is already taken", ""},
        {"mix", "dXY", 27, "", ""},  // files only: the directory is left, and that is no failure
        {"l", "dRY", 29, "It is a link to a Directory", ""},
        {"src", "dQ2", 27, "Zip failed: /usr/local/bin/defaultarchiver: No such file or directory", ""},
        {"src", "V", 27, "Editor failed: sh: 1: /usr/local/bin/defaulttexteditor: not found", ""},
    };
    for (const auto& [start, keys, row, begins, ends] : cases) {
        SCOPED_TRACE(std::string(start) + " " + keys);
        RealSession s;
        const TempDir& d = s.dir;
        d.file("src/a", "a");
        d.file("src/big", std::string(256 * 1024, 'b'));
        d.file("w/a", "a");
        d.file("w/b", "b");
        d.file("mix/f", "f");
        d.file("mix/sub/g", "g");
        fs::create_symlink(d.path + "/src", d.dir("l") + "/lnk");
        const SmallDisk ro(d.dir("ro"), true), full(d.dir("full"), false);
        ASSERT_TRUE(ro.mounted && full.mounted) << "a small tmpfs could not be mounted";
        s.runner.onLaunch = [&](const Launch& l) -> std::unique_ptr<Child> {  // no associated programs here
            if (l.program.rfind("/usr/local/bin/defaultarchiver", 0) == 0)
                return std::make_unique<EndedChild>(RunResult::notStarted(), l.program + ": No such file or directory");
            if (l.program.rfind("/usr/local/bin/defaulttexteditor", 0) == 0)
                return std::make_unique<EndedChild>(RunResult::exited(127), "sh: 1: /usr/local/bin/defaulttexteditor: not found");
            return s.real.launch(l);
        };
        s.browse(d.path + "/" + start);
        for (const char* k = keys; *k; ++k) {
            if (*k == 'g') {
                const std::string to = d.path + "/" + (k[1] == 'r' ? "ro" : "full");
                s.script.then([&s, to] { s.app.selectedPath = to; }).ext(scan::F3).wait(kStep);
                k += k[1] == 'r' ? 2 : 4;
            } else if (*k == 'd') s.script.ext(scan::Down).wait(kStep);
            else if (*k == '2') s.script.ext(scan::F2).wait(kStep);
            else s.script.key(*k).wait(kStep);
        }
        s.script.wait(-kStep + 500).then([&] {
            const std::string shown = trimmed(s.row(row));
            EXPECT_EQ(shown.rfind(begins, 0), *begins ? 0u : shown.empty() ? 0u : 1u) << shown;
            EXPECT_TRUE(shown.size() >= std::string(ends).size() && shown.ends_with(ends)) << shown;
            if (std::string(keys).find('Q') != std::string::npos) { EXPECT_EQ(s.app.buffer.count, 1); }  // nothing was zipped: the pick stays
        });
        s.script.wait(7000);
        EXPECT_EQ(s.quit(), 0);
    }
}

// Kill all with directories, Kill File and Kill Buffer in a directory holding mounts: a tmpfs, a file bind-mounted,
// and deeper down, under a name the mount table escapes, a bind mount of the same file system (rm's own
// --one-file-system does not see that one).
TEST(PasteKill, KillLeavesOtherMountedFileSystemsAlone) {
    const char* confined = std::getenv("KESTREL_CONFINED");
    if (!confined || std::string(confined) != "1") GTEST_SKIP() << "not confined: a mount made here would be the machine's";
    RealSession s;
    const TempDir& d = s.dir;
    for (const char* f : {"k/f", "k/d/y", "k/fm", "k/m/.keep", "k/s b/b/.keep", "out/o", "out/p"}) d.file(f, "1");
    const std::string k = d.path + "/k";
    const std::vector<std::string> mounts{k + "/m", k + "/fm", k + "/s b/b"};
    if (mount("none", mounts[0].c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    ASSERT_EQ(mount((d.path + "/out/p").c_str(), mounts[1].c_str(), nullptr, MS_BIND, nullptr), 0) << std::strerror(errno);
    ASSERT_EQ(mount((d.path + "/out").c_str(), mounts[2].c_str(), nullptr, MS_BIND, nullptr), 0) << std::strerror(errno);
    d.file("k/m/t", "t");
    s.browse(k).move(300, 200);
    downs(s, 1);
    for (char key : {'X', 'O', 'Y'}) s.script.key(key).wait(kStep);
    s.script.then([&] { EXPECT_EQ(trimmed(s.row(27)), "On another file system, left out: fm and 2 more"); }).wait(2000);
    for (const char* keys : {"KY", "QXBY"}) {  // Kill File, then Kill Buffer, on fm
        downs(s, 1);
        for (const char* k = keys; *k; ++k) s.script.key(*k).wait(kStep);
        s.script.then([&] { EXPECT_EQ(trimmed(s.row(27)), "On another file system, left out: fm"); }).wait(2000);
    }
    s.script.then([&] { EXPECT_EQ(tree(d.path), "k{fm:1 m{t:t} s b{b{o:1 p:1}}} out{o:1 p:1}"); });
    EXPECT_EQ(s.quit(), 0);
    for (auto m = mounts.rbegin(); m != mounts.rend(); ++m) umount2(m->c_str(), MNT_DETACH);
}

namespace {

// cp or rm taking its time on the virtual clock: each wait moves the clock on by as much and
// does the work due by then (`upTo`, true once all is done).
struct SlowChild final : Child {
    VirtualClock& clock;
    std::function<bool(int elapsedMs)> upTo;
    int elapsed = 0;
    bool done = false;
    SlowChild(VirtualClock& c, std::function<bool(int)> f) : clock(c), upTo(std::move(f)) {}
    bool wait(int ms) override {
        if (!done) clock.sleepMs(ms < 0 ? 10000 : ms), elapsed += ms < 0 ? 10000 : ms, done = upTo(elapsed);
        return done;
    }
    RunResult result() const override { return RunResult::exited(0); }
    std::string errorLine() const override { return ""; }
};

}  // namespace

// An 8 MiB paste at 2 MiB/s and a kill of 20 files at 10 a second: "Please Wait" with how far it
// is from the first second on, four times a second; Esc, K, Y and a click on Exit meanwhile do nothing.
TEST(PasteKill, LongWorkShowsHowFarItIsAndKeysTypedMeanwhileAreDropped) {
    // keys before the work starts, row 29 one second in and a quarter later
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"dC" "P", "2.0 MB of 8.0 MB  25%", "2.5 MB of 8.0 MB  31%"},
        {"dX" "Y", "10 of 20 entries  50%", "12 of 20 entries  60%"},
    };
    for (const auto& [keys, first, second] : cases) {
        SCOPED_TRACE(keys);
        Session s;
        const TempDir& d = s.dir;
        const std::string src = d.dir("src"), dst = d.dir("dst"), big = d.file("b/big", "");
        d.file("dst/other", "o");
        fs::resize_file(big, 8 << 20);
        for (int i = 0; i < 20; ++i) d.file("src/f" + std::to_string(i / 10) + std::to_string(i % 10), "f");
        // Row 29 as each wait of the program begins: what the step before it showed.
        std::vector<std::pair<int, std::string>> seen;
        const auto progress = [&](int ms) { seen.emplace_back(ms, trimmed(s.row(29).substr(1, 48))); };
        s.runner.onLaunch = [&](const Launch& l) -> std::unique_ptr<Child> {
            if (l.program == "cp") return std::make_unique<SlowChild>(s.rig.clock, [&](int ms) {
                progress(ms);
                std::ofstream(dst + "/big");
                fs::resize_file(dst + "/big", std::min<std::uintmax_t>(std::uintmax_t(ms) * (2 << 20) / 1000, 8 << 20));
                return ms >= 4000;
            });
            return std::make_unique<SlowChild>(s.rig.clock, [&](int ms) {
                progress(ms);
                for (int i = 0; i < std::min(ms / 100, 20); ++i) fs::remove(src + "/f" + std::to_string(i / 10) + std::to_string(i % 10));
                return ms >= 2000;
            });
        };
        const bool pastes = keys[1] == 'C';
        s.browse(pastes ? d.path + "/b" : src);
        for (const char* k = keys; *k; ++k) {
            if (*k == 'd') s.script.ext(scan::Down).wait(kStep);
            else if (*k == 'P') s.script.then([&] { s.app.selectedPath = dst; }).ext(scan::F3).wait(kStep).ext(scan::Down).wait(kStep).key('P');
            else s.script.key(*k).wait(k[1] ? kStep : 0);
        }
        s.script.wait(300).key(27).wait(100).key('K').wait(100).key('Y').wait(100).click(xOfColumn(76), yOfRow(1)).wait(-200);
        bool stillThere = false;
        s.script.wait(6000).then([&] {
            stillThere = s.screen().visiblePage() == 0 && s.row(25).find("Kill this File") == std::string::npos;
        });
        EXPECT_EQ(s.quit(), 0);
        EXPECT_TRUE(stillThere);
        ASSERT_GE(seen.size(), 3u);
        EXPECT_EQ(std::tuple(seen[0].first, seen[0].second.substr(0, 11), seen[1].second, seen[2].second),
                  std::tuple(1000, "Please Wait", "Please Wait " + std::string(first), "Please Wait " + std::string(second)));
        for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i].first - seen[i - 1].first, 250);
        EXPECT_EQ(std::pair(fs::exists(big), pastes ? fs::file_size(dst + "/big") : entryNames(src).size()),
                  std::pair(true, pastes ? std::uintmax_t(8 << 20) : std::uintmax_t(0)));
    }
}
