// Kestrel.cfg: how its lines are read and written, and the file as the
// person set it up: modes, owners and links survive a save, odd files are
// neither read nor replaced, and a killed or failing save never leaves a mix.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "app/program_dir.h"
#include "app/settings.h"
#include "app/settings_file.h"
#include "as_nobody.h"
#include "hostile_names.h"
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

const std::string kOld = "1 BigSmall\n3 BackGround\n/old/and/rather/long/path\n4 SortList\n";
const std::string kNew = "0 BigSmall\n1 BackGround\n/new\n2 SortList\n";
constexpr uid_t kNobody = 65534;

struct stat statOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st;
}

std::string cfg(TempDir& d, mode_t mode) {
    const std::string f = d.file("Kestrel.cfg", kOld);
    chmod(f.c_str(), mode);
    return f;
}

}  // namespace

TEST(SettingsFile, SaveKeepsModeOwnerAndLinks) {
    struct Case {
        const char* what;
        std::function<std::string(TempDir&)> setUp;  // returns the path Kestrel saves to
        SaveOutcome outcome;
        std::function<void(TempDir&)> check;
    };
    const std::vector<Case> cases = {
        {"0600 stays 0600", [](TempDir& d) { return cfg(d, 0600); }, SaveOutcome::Written,
         [](TempDir& d) { EXPECT_EQ(statOf(d.path + "/Kestrel.cfg").st_mode & 07777, 0600u); }},
        {"0444 is left alone", [](TempDir& d) { return cfg(d, 0444); }, SaveOutcome::LeftAlone,
         [](TempDir& d) { EXPECT_EQ(d.read("Kestrel.cfg"), kOld); }},
        {"a symbolic link writes its target",
         [](TempDir& d) {
             d.file("real/settings", kOld);
             fs::create_symlink("real/settings", d.path + "/Kestrel.cfg");
             return d.path + "/Kestrel.cfg";
         },
         SaveOutcome::Written,
         [](TempDir& d) { EXPECT_TRUE(fs::is_symlink(d.path + "/Kestrel.cfg") && d.read("real/settings") == kNew); }},
        {"a hard link stays linked", [](TempDir& d) { fs::create_hard_link(cfg(d, 0644), d.path + "/other"); return d.path + "/Kestrel.cfg"; },
         SaveOutcome::Written,
         [](TempDir& d) {
             EXPECT_EQ(d.read("other"), kNew);
             EXPECT_EQ(statOf(d.path + "/other").st_ino, statOf(d.path + "/Kestrel.cfg").st_ino);
         }},
        {"a FIFO is left alone", [](TempDir& d) { mkfifo((d.path + "/Kestrel.cfg").c_str(), 0644); return d.path + "/Kestrel.cfg"; },
         SaveOutcome::LeftAlone, [](TempDir& d) { EXPECT_TRUE(S_ISFIFO(statOf(d.path + "/Kestrel.cfg").st_mode)); }},
        {"a missing file is created", [](TempDir& d) { return d.path + "/Kestrel.cfg"; }, SaveOutcome::Written,
         [](TempDir&) {}},
    };
    for (const Case& c : cases) {
        TempDir d;
        const std::string file = c.setUp(d);
        EXPECT_EQ(saveSettingsFile(file, kNew), c.outcome) << c.what;
        if (c.outcome == SaveOutcome::Written) {
            EXPECT_EQ(parseSettings(readSettingsText(file).text).line3, "/new") << c.what;
        }
        c.check(d);
        int entries = 0;  // no temporary file is left behind
        for (const auto& e : fs::directory_iterator(d.path)) entries += e.path().filename().string().starts_with(".");
        EXPECT_EQ(entries, 0) << c.what;
    }
}

TEST(SettingsFile, AnotherUsersFileOrOneThatMayNotBeReadOrWritten) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to hand files to another user";
    struct Case {
        const char* what;
        uid_t owner;
        mode_t mode;
        bool savedByNobody;  // saved by an unprivileged Kestrel, else by root
        std::string after;
    };
    for (const Case& c : {Case{"another user's file, saved by root", kNobody, 0640, false, kNew},
                          Case{"unreadable to the saver", 0, 0600, true, kOld},
                          Case{"readable but not writable", 0, 0644, true, kOld}}) {
        TempDir d;
        chmod(d.path.c_str(), 01777);  // a shared directory
        const std::string file = cfg(d, c.mode);
        ASSERT_EQ(chown(file.c_str(), c.owner, c.owner), 0);
        if (c.savedByNobody) {
            EXPECT_EQ(asNobody([&] { return static_cast<int>(saveSettingsFile(file, kNew)); }),
                      static_cast<int>(SaveOutcome::LeftAlone))
                << c.what;
            EXPECT_EQ(asNobody([&] { return static_cast<int>(readSettingsText(file).state); }),
                      static_cast<int>(c.mode == 0600 ? SettingsState::Unreadable : SettingsState::Read));
        } else {
            EXPECT_EQ(saveSettingsFile(file, kNew), SaveOutcome::Written) << c.what;
        }
        EXPECT_EQ(d.read("Kestrel.cfg"), c.after) << c.what;
        EXPECT_EQ(std::pair(statOf(file).st_uid, statOf(file).st_mode & 07777), std::pair(c.owner, c.mode)) << c.what;
    }
}

TEST(SettingsFile, AKilledSaveLeavesOldOrNewAndItsTemporaryIsRemovedLater) {
    for (const bool hardLinked : {false, true}) {
        TempDir d;
        const std::string file = d.file("Kestrel.cfg", kOld);
        if (hardLinked) fs::create_hard_link(file, d.path + "/other");
        for (int attempt = 0; attempt < 20; ++attempt) {
            const pid_t child = fork();
            if (child == 0)
                for (int i = 0;; ++i) saveSettingsFile(file, i % 2 ? kOld : kNew);
            usleep(static_cast<useconds_t>(300 + attempt * 200));
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            const std::string now = parseSettings(readSettingsText(file).text).line3;
            EXPECT_TRUE(now == "/new" || now == "/old/and/rather/long/path") << now;
        }
        // A temporary file of a Kestrel that is gone is removed by the next
        // save; one of a running Kestrel (pid 1 here) stays.
        const std::string dead = d.file(".Kestrel.cfg.kestrel-999999999.tmp", "x");
        const std::string alive = d.file(".Kestrel.cfg.kestrel-1.tmp", "x");
        EXPECT_EQ(saveSettingsFile(file, kNew), SaveOutcome::Written);
        EXPECT_FALSE(fs::exists(dead));
        EXPECT_TRUE(fs::exists(alive));
        EXPECT_EQ(d.read("Kestrel.cfg"), kNew);
    }
}

// A write that fails (here past a file-size limit, as on a full disk) ends
// the save as failed, at once, with the old file whole and no temporary left.
TEST(SettingsFile, AFailingWriteEndsTheSaveAndKeepsTheOldFile) {
    TempDir d;
    const std::string file = d.file("Kestrel.cfg", kOld);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{16, 16};
        setrlimit(RLIMIT_FSIZE, &small);
        alarm(10);  // a save that retried the failing write for ever ends here
        _exit(static_cast<int>(saveSettingsFile(file, kNew)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the save never ended";
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(SaveOutcome::Failed));
    EXPECT_EQ(d.read("Kestrel.cfg"), kOld);
    EXPECT_EQ(entryNames(d.path), std::set<std::string>{"Kestrel.cfg"});
}

TEST(SettingsFile, ReadsOnlyARegularFileAndABoundedAmount) {
    TempDir d;
    mkfifo((d.path + "/fifo").c_str(), 0644);
    fs::create_symlink("/dev/zero", d.path + "/zero");
    fs::create_symlink("/dev/urandom", d.path + "/urandom");
    d.file("huge", kNew + std::string(1 << 20, 'x'));
    const auto unreadable = SettingsState::Unreadable;
    for (const auto& [name, state, size] : {std::tuple{"fifo", unreadable, size_t{0}}, {"zero", unreadable, size_t{0}},
                                            {"urandom", unreadable, size_t{0}}, {"missing", SettingsState::Missing, size_t{0}},
                                            {"huge", SettingsState::Read, kSettingsReadLimit}}) {
        const SettingsText t = readSettingsText(d.path + "/" + name);
        EXPECT_EQ(std::pair(t.state, t.text.size()), std::pair(state, size)) << name;
    }
    EXPECT_EQ(parseSettings(readSettingsText(d.path + "/huge").text).line3, "/new");
}

TEST(SettingsFile, StartPathMeansWhatItSays) {
    TempDir d;
    d.dir("blanks   ");
    d.dir("sub");
    // A name with blanks that is a directory stands as it is; a relative path is made absolute once.
    for (const auto& [line3, start] : {std::pair{d.path + "/blanks   ", d.path + "/blanks   "}, {"   /usr/share   ", "/usr/share"},
                                       {"sub", d.path + "/sub"}, {" sub ", d.path + "/sub"}, {"", ""}})
        EXPECT_EQ(startPathFromSettings(parseSettings("0\n0\n" + line3 + "\n1\n"), d.path), start) << "[" << line3 << "]";
    EXPECT_EQ(startPathFromSettings(parseSettings("0\n0\nsub\n1\n"), ""), "sub");  // no working directory known
}

TEST(Settings, LeadingNumbersRoundHalfToEven) {
    const std::pair<const char*, int> cases[] = {
        {"1 BigSmall", 1}, {"   3 BackGround", 3}, {"2.5", 2}, {"3.5x", 4}, {"0.5", 0}, {"-1.5", -2}, {"1e1 SortList", 10},
        {"BigSmall 1", 0}, {"", 0}, {"-", 0}, {".", 0}, {"99999999999999999999", 0}};
    for (const auto& [text, number] : cases) EXPECT_EQ(leadingNumber(text), number) << text;
}

// BigSmall and BackGround out of range fall back to 0; an unknown sort mode
// is kept (it sorts by name); the path is trimmed.
TEST(Settings, ParseClampsAndDefaults) {
    const std::pair<const char*, std::tuple<int, int, std::string, int>> cases[] = {
        {"1 BigSmall\n3 BackGround\n/tmp\n4 SortList\n", {1, 3, "/tmp", 4}},
        {"\n7 BackGround\n   /usr/share   \n9 SortList", {0, 0, "/usr/share", 9}},
        {"2 BigSmall\n-1 BackGround\r\n", {0, 0, "", 0}}};
    for (const auto& [text, expected] : cases) {
        const Settings s = parseSettings(text);
        EXPECT_EQ(std::tie(s.BigSmall, s.BackGround, s.path, s.SortList), expected) << text;
    }
    const Settings missing = readSettingsFile("/nonexistent/Kestrel.cfg");
    EXPECT_EQ(missing.BigSmall + missing.BackGround, 0);
    EXPECT_EQ(missing.path, "");
}

TEST(Settings, WrittenLinesRoundTrip) {
    EXPECT_EQ(formatSettings(0, 2, "/home/ann/docs", 1), "0 BigSmall\n2 BackGround\n/home/ann/docs\n1 SortList\n");
    // Blanks and shell punctuation are written unchanged.
    const std::string odd = "/tmp/a b;$(x)'\"&";
    const Settings back = parseSettings(formatSettings(1, 3, odd, 4));
    EXPECT_EQ(std::tie(back.BigSmall, back.BackGround, back.path, back.SortList), std::make_tuple(1, 3, odd, 4));
    // A line break would split the path over two lines and shift the sort
    // mode: the nearest ancestor without one is written instead.
    EXPECT_EQ(formatSettings(0, 0, "/tmp/x\ny/z", 3), "0 BigSmall\n0 BackGround\n/tmp\n3 SortList\n");
    EXPECT_EQ(formatSettings(0, 0, "/a\rb", 2), "0 BigSmall\n0 BackGround\n/\n2 SortList\n");
    EXPECT_EQ(parseSettings(formatSettings(0, 1, "/q\nw", 2)).SortList, 2);
}

TEST(Settings, FileIsReplacedWholeAndAnUnwritablePlaceIsReported) {
    TempDir d;
    EXPECT_TRUE(writeFileAtomically(d.path + "/Kestrel.cfg", "old\n"));
    EXPECT_TRUE(writeFileAtomically(d.path + "/Kestrel.cfg", "new\n"));
    EXPECT_EQ(d.read("Kestrel.cfg"), "new\n");
    EXPECT_FALSE(writeFileAtomically("/nonexistent-dir/Kestrel.cfg", "x"));
    EXPECT_EQ(unwritableDirNote(d.path), std::nullopt);
    EXPECT_EQ(unwritableDirNote(d.path + "/vanished"),
              "kestrel: cannot write to " + d.path + "/vanished: settings (Kestrel.cfg) and reports will not be saved\n");
}
