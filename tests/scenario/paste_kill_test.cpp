// The Copy/Kill Buffer, paste, kill and remove directory with the real cp and rm: the panels, the disk, and no name doing harm.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <map>
#include <fstream>
#include <sstream>

#include "session.h"
#include "../unit/hostile_names.h"
#include "fileops/paste_kill.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

constexpr int kStep = 700;  // longer than the key settle after Q and W
constexpr Point kYes{240, 456}, kNo{372, 456}, kOptions{580, 392}, kBufferButton{560, 456}, kPasteAllButton{140, 408};

const bool kConfined = confined();

struct RealSession : Session {
    TempRootRunner real;
    RealSession() { runner.onLaunch = [this](const Launch& l) { return real.launch(l); }; }
};

// Plays `actions` one every kStep ms: 'j' Down, 'k' Up, '!' F2, "[d]" goes to the session's directory d (F3), '*' and
// o, y, n, b or p clicks Options, Yes, No, the buffer button or Paste All, '-' removes src/a, '"' types up to the next '"',
// '.' waits 1 s, '|' calls `check` with its number (500 ms after the key before it); the rest is typed. Returns the last d.
std::string walk(Session& s, const std::string& actions, const std::function<void(int)>& check = {}) {
    int checks = 0;
    std::string last;
    for (size_t i = 0; i < actions.size(); ++i) {
        const char a = actions[i];
        const int gap = i + 1 < actions.size() && actions[i + 1] == '|' ? 500 : kStep;
        if (a == '[') {
            const std::string to = s.dir.path + "/" + actions.substr(i + 1, actions.find(']', i) - i - 1);
            s.script.then([&s, to] { s.app.selectedPath = to; }).ext(scan::F3).wait(kStep);
            last = to;
            i = actions.find(']', i);
        } else if (a == '*') {
            const char b = actions[++i];
            const Point at = b == 'o' ? kOptions : b == 'y' ? kYes : b == 'n' ? kNo : b == 'b' ? kBufferButton : kPasteAllButton;
            s.script.click(at.x, at.y).wait(kStep);
        } else if (a == '|') {
            s.script.then([check, n = checks++] { check(n); }).wait(kStep - 500);
        } else if (a == '-') {
            s.script.then([&s] { fs::remove(s.dir.path + "/src/a"); });
        } else if (a == '"') {
            s.script.keys(actions.substr(i + 1, actions.find('"', i + 1) - i - 1).c_str());
            i = actions.find('"', i + 1);
        } else if (a == '.') {
            s.script.wait(1000);
        } else if (a == 'j' || a == 'k' || a == '!') {
            s.script.ext(a == 'j' ? scan::Down : a == 'k' ? scan::Up : scan::F2).wait(gap);
        } else {
            s.script.key(a).wait(gap);
        }
    }
    return last;
}

std::string trimmed(std::string t) {
    if (t.size() >= 80) t = t.substr(1, 78);
    const auto b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
    return b == std::string::npos ? "" : t.substr(b, e - b + 1);
}

// `text` with every "%" standing for `dir`.
std::string at(std::string t, const std::string& dir) { for (size_t p; (p = t.find('%')) != t.npos;) t.replace(p, 1, dir); return t; }

// Compares rows of the screen, trimmed: `items` is "row text" joined by " / "; "%" stands for `dir`, "…" for any text.
void expectShown(Session& s, const std::string& items, const std::string& dir) {
    for (size_t from = 0; from < items.size();) {
        const size_t to = std::min(items.find(" / ", from), items.size());
        const int r = std::stoi(items.substr(from, 2));
        const std::string want = at(items.substr(from + 3, to - from - 3), dir);
        const std::string got = trimmed(s.row(r));
        const size_t any = want.find("…");
        if (any == std::string::npos) EXPECT_EQ(got, want) << "row " << r;
        else EXPECT_TRUE(got.size() + 3 >= want.size() && got.starts_with(want.substr(0, any)) && got.ends_with(want.substr(any + 3))) << r << ": " << got;
        from = to + 3;
    }
}

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

// Over `at`, only when confined: a 64 KiB tmpfs holding "x" (read-only if asked), or a bind mount of `from`.
struct SmallDisk {
    std::string at;
    bool mounted = false;
    SmallDisk(const std::string& path, bool readOnly, const std::string& from = "") : at(path) {
        const bool bind = !from.empty();
        mounted = kConfined && mount(bind ? from.c_str() : "tmpfs", at.c_str(), bind ? nullptr : "tmpfs", bind ? MS_BIND : 0, "size=64k") == 0;
        if (mounted && !bind) std::ofstream(at + "/x") << "x";
        if (mounted && readOnly) mounted = mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    ~SmallDisk() { umount2(at.c_str(), MNT_DETACH); }
};

// cp or rm taking its time on the virtual clock: each wait moves the clock on and does the work due by then.
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

// A pick is its file: a look-alike row elsewhere is not picked, one that grew still is; "s.me" (dot second) is no parent.
TEST(CopyKillBuffer, HighlightIsTheFileWhateverItsRowTextAndThePanelCounts) {
    Session s;
    const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    for (const char* name : {"one/s.me", "two/s.me", "two/other"})
        std::filesystem::last_write_time(s.dir.file(name, "12345"), when);
    const auto count = [&] { return s.row(33).substr(94, 4); };
    s.settings(1, 0, s.dir.path + "/one", 1);
    s.script.wait(1000);
    walk(s, "jQ|[two]|", [&](int step) {
        if (step == 0) EXPECT_EQ(std::tuple(s.cell(6, 2), s.row(31).substr(81, 17), count()), std::tuple(CellRead{'s', 15, 3}, "Copy/Paste Buffer", " 1  "));
        else EXPECT_EQ(std::tuple(s.listName(3), s.cell(7, 2), s.cell(6, 2), s.row(31).substr(81, 17)),
                       std::tuple("s.me", CellRead{'s', 0, 2}, CellRead{'o', 0, 2}, "Copy/Kill  Buffer"));
    });
    s.script.click(xOfColumn(91), yOfRow(33)).wait(kStep).then([&] {
        EXPECT_EQ(s.programDir.read("buffer.txt"), s.app.buffer.rows[1] + "\n\n" + s.dir.path + "/one/s.me \n");
        EXPECT_EQ(s.runner.shellLines, (std::vector<std::string>{"/usr/local/bin/defaulttexteditor " + s.programDir.path + "/buffer.txt"}));
        s.dir.file("one/s.me", "1234567890");  // a new size and date: a new row text
    });
    walk(s, "[one]|jQ|Q", [&](int step) {
        if (step == 0) EXPECT_EQ(s.cell(6, 2), (CellRead{'s', 15, 3}));
        else EXPECT_EQ(std::tuple(s.app.buffer.count, s.app.buffer.fileList()), std::tuple(0, ""));
    });
    s.script.click(xOfColumn(85), yOfRow(33)).wait(kStep).then([&] {  // Clear
        EXPECT_EQ(std::tuple(s.app.buffer.count, s.cell(6, 2), count()), std::tuple(0, CellRead{'s', 0, 2}, " 0  "));
    });
    EXPECT_EQ(s.quit(), 0);
}

// A full buffer of long names is more than one cp or rm can take. The shell starts in src, where a canary would land.
TEST(PasteKill, HostileNamesAndAFullBufferReachCpAndRmWhole) {
    const std::set<std::string> extras{".hidden", "sub", "fifo"};
    const std::tuple<bool, bool, const char*, std::set<std::string>, std::set<std::string>> cases[] = {
        // paste all (else kill all), corpus picked into the buffer, keys, src left and dst extras besides the corpus
        {true, false, "Y", extras, {}}, {true, false, "OY", extras, {"sub", "fifo"}}, {true, true, "Y", extras, {}},
        {false, false, "Y", {".hidden", "sub"}, {}}, {false, false, "OY", {".hidden"}, {}}, {false, true, "BY", extras, {}},
    };
    for (const auto& [copies, buffer, keys, srcExtra, dstExtra] : cases) {
        SCOPED_TRACE(std::string(copies ? "paste " : "kill ") + keys + (buffer ? " buffer" : ""));
        RealSession s;
        const std::string src = s.dir.dir("src"), dst = s.dir.dir("dst");
        std::vector<std::string> names = hostileNames();
        while (buffer && names.size() < 1001) names.push_back(std::string(140, 'n') + std::to_string(names.size()));
        for (const auto& n : names) s.dir.file("src/" + n, n);
        for (const char* f : {"src/.hidden", "src/sub/inner"}) s.dir.file(f, "h");
        mkfifo((src + "/fifo").c_str(), 0600);
        fs::current_path(src);
        s.script.move(300, 200).wait(100);
        walk(s, keys);
        for (size_t i = 0; buffer && i < names.size(); ++i) s.app.buffer.add("row " + names[i], src + "/" + names[i]);
        s.app.savedDirectoryPath = copies ? dst : src;
        if (copies && !buffer) s.app.copySelection.sourceDirectory = src;
        EXPECT_EQ(copies ? pasteAll(s.app) : killAll(s.app), Next::Reload);
        std::set<std::string> srcLeft = srcExtra, dstAfter = dstExtra;
        if (copies) for (auto* set : {&srcLeft, &dstAfter}) set->insert(names.begin(), names.end());
        EXPECT_EQ(std::tuple(entryNames(src), entryNames(dst), s.runner.programCalls.size() >= 2), std::tuple(srcLeft, dstAfter, buffer));
        for (const auto& d : {src, dst, s.dir.path}) EXPECT_FALSE(fs::exists(d + "/" + kCanary));
    }
}

// One tree for every row: dst/b and g/f link to keep/f, l/lnk to src, w/xdead nowhere; ro, full and km's entries are mounts.
TEST(FileCommands, PicksQuestionsRefusalsAndFailuresOverOneTree) {
    // start, actions, rows shown at each '|' (joined by " | ", as expectShown() reads them), the directories changed (as
    // tree() shows them; "*": not compared), the picks and, after " / ", the lines of cp_buffer.txt and Kl_buffer.txt
    const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
        {"p", "Q|", "27 Files Only.", "", ""}, {"p", "jQjjjW", "", "", "p/a p/b p/c p/d"}, {"p", "jjjjQkkkW", "", "", "p/d p/a p/b p/c"},
        {"p", "jjQW", "", "", "p/b p/a"}, {"p", "jQW", "", "", "p/a"},  // W on the anchor at index 2 leaves out the parent
        {"p", "jW|", "27 Need File Start.", "", ""}, {"p", "jQjjjjjW|", "27 Files Only.", "", "p/a"}, {"k", "P|", "27 Pick a file or directory.", "", ""},
        {"k", "jK|Y", "25 Kill this File ? / 27 rm %/k/a", "k{.hid:1 empty{} held{x:1}}", ""}, {"k", "jjP|", "27 ", "", ""},
        {"k", "jjR|Y", "25 Remove This Directory ? / 27 %/k/empty", "k{.hid:1 a:1 held{x:1}}", ""},
        {"k", "jjjRY|", "28 Error: unable to remove Directory / 29 Remove Files in Directory", "", ""},
        {"l", "jRY|", "29 It is a link to a Directory", "", ""}, {"k", "jP|", "27 Must first make a Copy selection.", "", ""},
        {"k", "jX|*y", "25 Kill all Files?… / 26 Caution!… / 27 rm %/k/*", "k{.hid:1 empty{} held{x:1}}", ""},
        {"k", "jX*o|*y", "25 Kill all Files and Directories?… / 27 rm -r %/k/*", "k{.hid:1}", ""},
        {"mix", "jXY|", "27 ", "mix{sub{g:g} xd{in:keep}}", ""},  // files only: the directory is left, and that is no failure
        {"src", "jC[dst]jP|N", "25 Replace Existing Files ? / 27 a already exists", "", ""},
        {"src", "jC[dst]jP|Y", "25 Replace Existing Files ? / 27 a already exists", "dst{a:A b@ c:old}", ""},
        {"src", "jC[dst]jAY|Y", "27 a and 1 more already exist", "dst{a:A b:B c:old}", ""},
        {"src", "jC[src/sub]jAOY|", "27 Cannot copy a directory into itself: sub", "", ""},
        {"g", "jjC[keep]jP|", "27 Cannot copy a file onto itself: f", "", ""},  // g/f, a link to keep/f
        {"src", "jQjQ-[e]jAY|", "27 No longer there, skipped: a", "e{b:B z:z} src{b:B sub{x:x}}", "src/a src/b / cp %/src/b %/e\n"},
        {"src", "jQjQ-XBY|", "27 No longer there, skipped: a", "src{sub{x:x}}", " / rm %/src/b\n"},
        // Only the buffer is set: paste-all opens on the buffer choice and ignores Options; then a copy selection.
        {"src", "jQ[e]*p*o|*y[src]jjX*b|*yjC|[e]*p|oO|*b|..|*y",
         "25 Paste Buffer Files?… / 27 cp BufferFiles %/e | 25 Kill Buffer Files?… | 27 %/src / 28 %/src/b… | 25 Paste all Files ?… | "
         "25 Paste all Files?… / 27 cp %/src/* %/e | 25 No Buffer Files.… | 25 Paste all Files ?…",
         "e{a:A b:B z:z} src{b:B sub{x:x}}", " / cp %/src/a %/e\n / rm %/src/a\n"},
        {"w", "jFb\r|", "27 Not renamed: b is already taken", "", ""}, {"w", "jf\"xdead\"\r|", "27 Not renamed: xdead is already taken", "", ""},
        {"w", "jf|\"new.txt\"\r", "25 Rename %/w/a…", "w{b:b new.txt:a xd{in:keep} xdead@}", ""}, {"w", "jf\"..\"\r", "", "", ""},
        {"w", "jf\"-t..\"\r", "", "w{-t..:a b:b xd{in:keep} xdead@}", ""}, {"w", "jf\"*`x`[\"\r", "", "w{*`x`[:a b:b xd{in:keep} xdead@}", ""},
        {"mix", "jjf\"moved\"\r", "", "mix{f:f moved{g:g} xd{in:keep}}", ""}, {"mix", "jjf\"xd\"\r|", "27 Not renamed: xd is already taken", "", ""},
        {"src", "jQ!|", "27 Zip failed: /usr/local/bin/defaultarchiver: No such file or directory", "", "src/a"},  // the pick stays
        {"src", "V|", "27 Editor failed: sh: 1: /usr/local/bin/defaulttexteditor: not found", "", ""},
        {"src", "jC[ro]jP|", "27 Paste failed: cp: cannot create regular file '…: Read-only file system", "", ""},
        {"g", "jC[full]jP|", "27 Paste failed: cp: error writing '…: No space left on device", "*", ""},
        {"ro", "jXY|", "27 Kill failed: rm: cannot remove '…: Read-only file system", "", ""},
        {"ro", "/new\r|", "27 New Directory failed: Read-only file system", "", ""},
        // Kills leave out a tmpfs (m), a file bind mount (fm) and a deeper bind mount of the same file system (s b/b).
        {"km", "jXOY|", "27 On another file system, left out: fm and 2 more", "km{fm:1 m{x:x} s b{b{o:1 p:1}}}", ""},
        {"km", "jjjKY|", "27 On another file system, left out: fm", "", ""}, {"km", "jjjQXBY|", "27 On another file system, left out: fm", "", " / rm\n"},
    };
    for (const auto& [start, actions, shown, after, picked] : cases) {
        SCOPED_TRACE(std::string(start) + " " + actions);
        RealSession s;
        const TempDir& d = s.dir;
        for (const std::string f : {"src/a:A", "src/b:B", "src/sub/x:x", "dst/a:old", "dst/c:old", "e/z:z", "keep/f:keep", "k/.hid:1",
                                    "k/a:1", "k/held/x:1", "w/a:a", "w/b:b", "w/xd/in:keep", "mix/f:f", "mix/sub/g:g", "mix/xd/in:keep",
                                    "p/a:a", "p/b:b", "p/c:c", "p/d:d", "p/e:e", "km/f:1", "km/d/y:1", "km/fm:1", "km/m/.keep:1",
                                    "km/s b/b/.keep:1", "out/o:1", "out/p:1"})
            d.file(f.substr(0, f.find(':')), f.substr(f.find(':') + 1));  // path:content
        for (const char* e : {"k/empty", "p/sub", "l"}) d.dir(e);
        d.file("g/big", std::string(256 * 1024, 'b'));
        for (const auto& [link, to] : {std::pair<std::string, std::string>{"dst/b", "../keep/f"}, {"g/f", "../keep/f"}, {"l/lnk", d.path + "/src"}})
            fs::create_symlink(to, d.path + "/" + link);
        fs::create_symlink(d.path + "/nowhere", d.path + "/w/xdead");
        const SmallDisk ro(d.dir("ro"), true), full(d.dir("full"), false), m(d.path + "/km/m", false);
        const SmallDisk fm(d.path + "/km/fm", false, d.path + "/out/p"), sb(d.path + "/km/s b/b", false, d.path + "/out");
        EXPECT_EQ(ro.mounted && full.mounted && m.mounted && fm.mounted && sb.mounted, kConfined) << "a small disk or bind mount";
        const std::string all = std::string(start) + actions;
        if (!kConfined && (all.find("ro") != all.npos || all.find("full") != all.npos || all.find("km") != all.npos)) continue;
        s.runner.onLaunch = [&](const Launch& l) -> std::unique_ptr<Child> {  // no archiver or editor here, whatever is installed
            if (l.program.rfind("/usr/local/bin/default", 0) != 0) return s.real.launch(l);
            const bool zip = !l.shell;
            return std::make_unique<EndedChild>(zip ? RunResult::notStarted() : RunResult::exited(127),
                                                zip ? l.program + ": No such file or directory" : "sh: 1: /usr/local/bin/defaulttexteditor: not found");
        };
        s.browse(d.path + "/" + start).move(300, 200);
        std::map<std::string, std::string> before;
        for (const std::string& name : entryNames(d.path)) before[name] = tree(d.path + "/" + name);
        const std::string to = walk(s, actions, [&](int n) {
            std::string items = shown;
            for (int i = 0; i < n; ++i) items = items.substr(items.find(" | ") + 3);
            expectShown(s, items.substr(0, items.find(" | ")), d.path);
        });
        s.script.wait(8000).then([&] {
            std::string kept;
            for (const std::string& p : s.app.buffer.filePaths()) kept += (kept.empty() ? "" : " ") + p.substr(d.path.size() + 1);
            for (const char* f : {"cp_buffer.txt", "Kl_buffer.txt"})
                if (const std::string r = s.programDir.read(f); !r.empty()) kept += " / " + r;
            std::string changed;
            for (const auto& [name, was] : before)
                if (const std::string now = tree(d.path + "/" + name); now != was) changed += (changed.empty() ? "" : " ") + name + "{" + now + "}";
            EXPECT_EQ(std::tuple(std::string(after) == "*" ? "*" : changed, s.app.selectedPath, s.screen().visiblePage(), kept),
                      std::tuple(std::string(after), to.empty() ? d.path + "/" + start : to, 0, at(picked, d.path)));
        });
        EXPECT_EQ(s.quit(), 0);
    }
}

// An 8 MiB paste at 2 MiB/s and a 20-file kill at 10/s show how far they are from 1 s on; keys and clicks meanwhile do nothing.
TEST(PasteKill, LongWorkShowsHowFarItIsAndKeysTypedMeanwhileAreDropped) {
    // keys before the work starts, row 29 one second in and a quarter later
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"jC[dst]jP", "2.0 MB of 8.0 MB  25%", "2.5 MB of 8.0 MB  31%"}, {"jXY", "10 of 20 entries  50%", "12 of 20 entries  60%"}};
    for (const auto& [keys, first, second] : cases) {
        SCOPED_TRACE(keys);
        Session s;
        const std::string src = s.dir.dir("src"), dst = s.dir.dir("dst"), big = s.dir.file("b/big", "");
        s.dir.file("dst/other", "o");
        fs::resize_file(big, 8 << 20);
        for (int i = 10; i < 30; ++i) s.dir.file("src/f" + std::to_string(i), "f");
        const bool pastes = keys[1] == 'C';
        // Row 29 as each wait of the program begins: what the step before it showed.
        std::vector<std::pair<int, std::string>> seen;
        std::set<int> under;  // the browser's pixel inside the Buffer button's box: a paste over the browser draws no buttons
        s.runner.onLaunch = [&](const Launch&) -> std::unique_ptr<Child> {
            return std::make_unique<SlowChild>(s.rig.clock, [&](int ms) {
                seen.emplace_back(ms, trimmed(s.row(29).substr(1, 48)));
                under.insert(s.screen().pixel(0, 560, 446));
                if (pastes) std::ofstream(dst + "/big");
                if (pastes) fs::resize_file(dst + "/big", std::min<std::uintmax_t>(std::uintmax_t(ms) * (2 << 20) / 1000, 8 << 20));
                for (int i = 10; !pastes && i < 10 + std::min(ms / 100, 20); ++i) fs::remove(src + "/f" + std::to_string(i));
                return ms >= (pastes ? 4000 : 2000);
            });
        };
        s.browse(pastes ? s.dir.path + "/b" : src);
        walk(s, keys);
        s.script.wait(300 - kStep).key(27).wait(100).key('K').wait(100).key('Y').wait(100).click(xOfColumn(76), yOfRow(1)).wait(-200);
        s.script.wait(6000).then([&] { EXPECT_EQ(std::pair(s.screen().visiblePage(), s.row(25).find("Kill this File")), std::pair(0, std::string::npos)); });
        EXPECT_EQ(s.quit(), 0);
        ASSERT_GE(seen.size(), 3u);
        EXPECT_EQ(std::tuple(seen[0].first, seen[0].second.substr(0, 11), seen[1].second, seen[2].second),
                  std::tuple(1000, "Please Wait", "Please Wait " + std::string(first), "Please Wait " + std::string(second)));
        for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i].first - seen[i - 1].first, 250);
        EXPECT_EQ(under.size(), 1u);
        EXPECT_EQ(std::pair(fs::exists(big), pastes ? fs::file_size(dst + "/big") : entryNames(src).size()),
                  std::pair(true, pastes ? std::uintmax_t(8 << 20) : std::uintmax_t(0)));
    }
}
