// Kestrel.cfg: its lines, and a save that keeps modes, owners and links, leaves odd files alone and never leaves a mix.
#include <gtest/gtest.h>
#include <algorithm>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "extern/runner.h"
#include "frame/home_dir.h"
#include "frame/settings.h"
#include "frame/settings_file.h"
#include "frame/state_dir.h"
#include "frame/text_file.h"
#include "hostile_names.h"
#include "temp_dir.h"
#include "viewers/byte_source.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

const std::string kOld = "1 BigSmall\n3 BackGround\n/old/and/rather/long/path\n4 SortList\n";
const std::string kNew = "0 BigSmall\n1 BackGround\n/new\n2 SortList\n";
constexpr uid_t kNobody = 65534;
constexpr const char* kRunning = ".Kestrel.cfg.kestrel-1.tmp";  // pid 1's temporary: its Kestrel may still be writing

struct stat statOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st), st;
}

std::string cfg(TempDir& d, mode_t mode) {
    const std::string f = d.file("Kestrel.cfg", kOld);
    return chmod(f.c_str(), mode), f;
}

}  // namespace

TEST(SettingsFile, SaveKeepsModeOwnerAndLinks) {
    // What is there before, what the save does, and what must hold after it; no temporary is left but a running one's.
    struct Case { const char* what; std::function<void(TempDir&)> setUp; SaveOutcome outcome; std::function<bool(TempDir&)> after; };
    auto mode = [](TempDir& d) { return statOf(d.path + "/Kestrel.cfg").st_mode; };
    const Case cases[] = {
        {"0600 stays 0600", [](TempDir& d) { cfg(d, 0600); }, SaveOutcome::Written, [&](TempDir& d) { return (mode(d) & 07777) == 0600; }},
        {"0444 is left alone", [](TempDir& d) { cfg(d, 0444); }, SaveOutcome::LeftAlone,
         [](TempDir& d) { return d.read("Kestrel.cfg") == kOld; }},
        {"a symbolic link writes its target",
         [](TempDir& d) { fs::create_symlink(d.file("real/settings", kOld), d.path + "/Kestrel.cfg"); }, SaveOutcome::Written,
         [&](TempDir& d) { return S_ISLNK(mode(d)) && d.read("real/settings") == kNew; }},
        {"a hard link stays linked", [](TempDir& d) { fs::create_hard_link(cfg(d, 0644), d.path + "/other"); }, SaveOutcome::Written,
         [](TempDir& d) { return d.read("other") == kNew && statOf(d.path + "/other").st_ino == statOf(d.path + "/Kestrel.cfg").st_ino; }},
        {"a FIFO is left alone", [](TempDir& d) { mkfifo((d.path + "/Kestrel.cfg").c_str(), 0644); }, SaveOutcome::LeftAlone,
         [&](TempDir& d) { return S_ISFIFO(mode(d)); }},
        {"a gone Kestrel's temporary is removed, a running one's (pid 1) stays", [](TempDir& d) {
             for (const char* name : {"Kestrel.cfg", ".Kestrel.cfg.kestrel-999999999.tmp", kRunning}) d.file(name, kOld);
         }, SaveOutcome::Written, [](TempDir& d) { return fs::exists(d.path + "/" + kRunning); }},
        {"root saving another user's file keeps that owner", [](TempDir& d) { chown(cfg(d, 0640).c_str(), kNobody, 0); }, SaveOutcome::Written,
         [&](TempDir& d) { return geteuid() != 0 || (statOf(d.path + "/Kestrel.cfg").st_uid == kNobody && (mode(d) & 07777) == 0640); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        const std::string file = d.path + "/Kestrel.cfg";
        c.setUp(d);
        EXPECT_EQ(saveSettingsFile(file, kNew), c.outcome);
        EXPECT_TRUE(c.outcome != SaveOutcome::Written || parseSettings(readSettingsText(file).text).line3 == "/new");
        EXPECT_TRUE(c.after(d));
        EXPECT_EQ(std::ranges::count_if(entryNames(d.path), [](const std::string& n) { return n[0] == '.' && n != kRunning; }), 0);
    }
}

// A write past a size limit (as on a full disk) fails the save at once: a replaced file stays whole, a hard-linked
// one rewritten in place still fails. Standard input is closed, as a launcher may leave it, so descriptor 0 is
// in turn the settings file, a file the viewer reads (closed again) and a program's error pipe (drained).
TEST(SettingsFile, AFailingWriteEndsTheSaveAndKeepsTheOldFileWithStandardInputClosed) {
    for (const bool linked : {false, true}) {
        TempDir d;
        const std::string file = d.file("Kestrel.cfg", kOld);
        if (linked) fs::create_hard_link(file, d.path + "/other");
        const pid_t child = fork();
        if (child == 0) {
            dup2(open("/dev/null", O_WRONLY), 2);  // what the program writes is passed on to Kestrel's own standard error
            close(0);
            signal(SIGXFSZ, SIG_IGN);
            const rlimit small{16, 16};
            setrlimit(RLIMIT_FSIZE, &small);
            alarm(20);  // a retried failing write, a read started over and over, or a pipe never drained ends here
            errno = EINTR;  // left by an interrupted call before: a read that worked is not started again
            if (readTextFile(file) != kOld || MemoryByteSource::readWholeFile(file).size() != std::int64_t(kOld.size())) _exit(9);
            if (FileByteSource(file).size() != std::int64_t(kOld.size())) _exit(9);
            if (fcntl(0, F_GETFD) >= 0) _exit(9);  // closed again with the source
            if (!RealRunner().launch(Launch::shellLine("head -c 300000 /dev/zero >&2"))->wait(-1)) _exit(9);
            _exit(static_cast<int>(saveSettingsFile(file, kNew)));
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "the save never ended";
        EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(SaveOutcome::Failed)) << linked;
        if (!linked) { EXPECT_EQ(std::pair(d.read("Kestrel.cfg"), entryNames(d.path)), std::pair(kOld, std::set<std::string>{"Kestrel.cfg"})); }
    }
}

// Leading numbers round half to even; BigSmall and BackGround out of range become 0, an unknown sort mode
// stays, the path is trimmed; a path with a line break is written as its nearest ancestor without one.
// A start path with blanks that is a directory stands as it is; a relative one is made absolute once.
TEST(Settings, LinesReadAndWritten) {
    for (const auto& [text, number] : {std::pair{"   3 BackGround", 3}, {"2.5", 2}, {"3.5x", 4}, {"-1.5", -2}, {"1e1 SortList", 10},
                                       {"BigSmall 1", 0}, {".", 0}, {"99999999999999999999", 0}, {"-2147483648", 0}})
        EXPECT_EQ(leadingNumber(text), number) << text;
    const std::pair<const char*, std::tuple<int, int, std::string, int>> cases[] = {
        {"1 BigSmall\n3 BackGround\n/tmp\n4 SortList\n", {1, 3, "/tmp", 4}},
        {"\n7 BackGround\n   /usr/share   \n9 SortList", {0, 0, "/usr/share", 9}},
        {"2 BigSmall\n-1 BackGround\r\n", {0, 0, "", 0}}};
    for (const auto& [text, expected] : cases) {
        const Settings s = parseSettings(text);
        EXPECT_EQ(std::tie(s.BigSmall, s.BackGround, s.path, s.SortList), expected) << text;
    }
    for (const auto& [path, written] : {std::pair{"/tmp/a b;$(x)'\"&", "/tmp/a b;$(x)'\"&"}, {"/tmp/x\ny/z", "/tmp"}, {"/a\rb", "/"}})
        EXPECT_EQ(formatSettings(1, 2, path, 3), "1 BigSmall\n2 BackGround\n" + std::string(written) + "\n3 SortList\n");
    EXPECT_EQ(readSettingsFile("/nonexistent/Kestrel.cfg").path, "");
    TempDir d;
    d.dir("blanks   ");
    d.dir("sub");
    for (const auto& [line3, start] : {std::pair{d.path + "/blanks   ", d.path + "/blanks   "}, {"   /usr/share   ", "/usr/share"},
                                       {"sub", d.path + "/sub"}, {" sub ", d.path + "/sub"}, {"", ""}})
        EXPECT_EQ(startPathFromSettings(parseSettings("0\n0\n" + line3 + "\n1\n"), d.path), start) << "[" << line3 << "]";
    EXPECT_EQ(startPathFromSettings(parseSettings("0\n0\nsub\n1\n"), ""), "sub");  // no working directory known
    const SettingsText t = readSettingsText(d.file("huge", kNew + std::string(1 << 20, 'x')));
    EXPECT_EQ(std::tuple(t.state, t.text.size(), parseSettings(t.text).line3), std::tuple(SettingsState::Read, kSettingsReadLimit, std::string("/new")));
}

// Beside the program when writable; else (always, for a package) the user's own, made 0700; a failure is reported once.
TEST(Settings, TheStateDirectoryIsTheProgramsWhenWritableElseTheUsersOwn) {
    TempDir d;
    const std::string prog = d.dir("prog"), xdg = d.path + "/xdg", home = d.path + "/home", blocked = d.file("file") + "/x";
    const std::string other = d.path + "/other", inTheWay = d.file("other/kestrel", "a file where the directory goes");
    chmod(inTheWay.c_str(), 0755);  // executable: write and search rights alone would let it pass for a directory
    struct Case { const char* what; bool always; const char* xdg; std::string dir; std::string note; };
    const Case cases[] = {
        {"writable", false, nullptr, prog, ""},
        {"package, XDG_STATE_HOME", true, xdg.c_str(), xdg + "/kestrel", ""},
        {"package, relative XDG_STATE_HOME", true, "rel", home + "/.local/state/kestrel", ""},
        {"vanished", false, nullptr, home + "/.local/state/kestrel", ""},
        {"blocked", true, blocked.c_str(), blocked + "/kestrel",
         "kestrel: cannot write to " + blocked + "/kestrel: settings (Kestrel.cfg) and reports will not be saved\n"},
        {"a file in the way", true, other.c_str(), inTheWay,
         "kestrel: cannot write to " + inTheWay + ": settings (Kestrel.cfg) and reports will not be saved\n"},
    };
    for (const Case& c : cases) {
        const StateDir st = chooseStateDir(std::string(c.what) == "vanished" ? d.path + "/gone" : prog, c.always, c.xdg, home.c_str());
        EXPECT_EQ(std::tuple(st.dir, st.perUser, st.note), std::tuple(c.dir, c.dir != prog, c.note)) << c.what;
        if (st.perUser && c.note.empty()) { EXPECT_EQ(statOf(st.dir).st_mode & 07777, 0700u) << c.what; }
    }
    EXPECT_EQ(std::pair(statOf(home + "/.local").st_mode & 07777, statOf(home + "/.local/state").st_mode & 07777), std::pair(0700u, 0700u));
}

// The first start's directory: root keeps /root; anyone else starts at home.
TEST(Settings, HomeDirectoryOfTheUserRunningKestrel) {
    struct Case { uid_t uid; const char *home, *passwd, *expected; };
    for (const Case& c : {Case{0, "/home/ann", "/root", "/root"}, {1000, "/home/ann/", "/home/x", "/home/ann"},
                          {1000, nullptr, "/home/ann", "/home/ann"}, {1000, "relative", "/srv/ann//", "/srv/ann"},
                          {1000, "", nullptr, "/"}})
        EXPECT_EQ(homeDirectoryFor(c.uid, c.home, c.passwd), c.expected) << c.uid << " " << (c.home ? c.home : "-");
}
