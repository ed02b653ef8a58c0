// Loading real directories: the row columns for every kind of entry, dates,
// sizes, failures and very large directories.
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

#include <vector>

#include "dirlist/entry_size.h"
#include "dirlist_test_dir.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// Counts the pauses instead of taking them.
struct PauseRecorder final : Clock {
    std::vector<int> pauses;
    std::int64_t nowMs() override { return 0; }
    void sleepMs(int ms) override { pauses.push_back(ms); }
};

DirList load(const std::string& dir, int sortMode = 1) {
    DirList list;
    PauseRecorder clock;
    loadDirectory(list, dir, sortMode, clock);
    return list;
}

std::string cwd() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? buf : "";
}

const std::string kBlank(78, ' ');

}  // namespace

using DirListLoad = TempDirTest;

TEST_F(DirListLoad, RowColumnsForEachKindOfEntry) {
    makeFile("writable", 1234, 0644);
    makeFile("readonly", 5, 0444);
    makeFile("empty", 0, 0644);
    ASSERT_EQ(mkdir(path("opendir").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(path("lockeddir").c_str(), 0755), 0);
    ASSERT_EQ(chmod(path("lockeddir").c_str(), 0555), 0);
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);  // no writer: opening it for reading would wait forever
    if (geteuid() == 0) {
        ASSERT_EQ(mknod(path("nulldev").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path("sock").c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const std::string longName(40, 'L');
    makeFile(longName, 1);
    makeFile(".hidden", 1);

    PauseRecorder clock;
    DirList list;
    loadDirectory(list, root, 1, clock);
    close(sock);

    EXPECT_EQ(clock.pauses, (std::vector<int>{20, 20, 20}));
    EXPECT_EQ(cwd(), root);
    EXPECT_EQ(indexOf(list, ".hidden"), -1);
    EXPECT_EQ(list.count, geteuid() == 0 ? 10 : 9);
    for (int i = 1; i <= list.count; ++i) EXPECT_EQ(list.row(i).size(), 78u) << list.name(i);

    struct Expect { const char* name; const char* kind; const char* letters; const char* size; };
    const Expect expected[] = {
        {"writable", " file ", "a    ", "1234      "}, {"readonly", " file ", "ra   ", "5         "},
        {"empty", " file ", "a    ", "          "},    {"opendir", "  dir ", "     ", "          "},
        {"lockeddir", "  dir ", "r    ", "          "}, {"pipe", " file ", "sa   ", "          "},
        {"sock", " file ", "sa   ", "          "},     {"nulldev", " file ", "sa   ", "          "},
    };
    for (const Expect& e : expected) {
        const int i = indexOf(list, e.name);
        if (i < 0 && std::string(e.name) == "nulldev" && geteuid() != 0) continue;
        ASSERT_GT(i, 1) << e.name;
        const std::string& row = list.row(i);
        EXPECT_EQ(row.substr(0, 37), std::string(e.name) + std::string(37 - std::string(e.name).size(), ' '));
        EXPECT_EQ(kindOf(row), e.kind) << e.name;
        EXPECT_EQ(lettersOf(row), e.letters) << e.name;
        EXPECT_EQ(sizeOf(row), e.size) << e.name;
        EXPECT_EQ(row.substr(58, 2), "  ") << e.name;
        EXPECT_NE(dateOf(row), kUnknownDate) << e.name;
        EXPECT_TRUE(isDirRow(row) == (std::string(e.kind) == "  dir ")) << e.name;
        EXPECT_TRUE(isFileRow(row) == (std::string(e.kind) == " file ")) << e.name;
    }
    const int cut = indexOf(list, longName);
    ASSERT_GT(cut, 1);
    EXPECT_EQ(list.row(cut).substr(0, 37), std::string(37, 'L'));
    EXPECT_EQ(list.name(cut), longName);
}

TEST_F(DirListLoad, SymbolicLinksAreFollowed) {
    makeFile("target", 777);
    setLocalMtime("target", 2001, 6, 15, 14, 45);
    ASSERT_EQ(mkdir(path("realdir").c_str(), 0755), 0);
    ASSERT_EQ(symlink("target", path("tofile").c_str()), 0);
    ASSERT_EQ(symlink("realdir", path("todir").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", path("dangling").c_str()), 0);
    const DirList list = load(root);

    const std::string& file = list.row(indexOf(list, "tofile"));
    EXPECT_EQ(kindOf(file), " file ");
    EXPECT_EQ(sizeOf(file), "777       ");
    EXPECT_EQ(dateOf(file), "2001-06-15 02:45PM");

    const std::string& dir = list.row(indexOf(list, "todir"));
    EXPECT_EQ(kindOf(dir), "  dir ");
    EXPECT_EQ(sizeOf(dir), std::string(10, ' '));

    const int d = indexOf(list, "dangling");
    ASSERT_GT(d, 1);
    EXPECT_EQ(list.row(d).size(), 78u);
    EXPECT_EQ(kindOf(list.row(d)), " file ");
    EXPECT_EQ(lettersOf(list.row(d)), "a    ");
    EXPECT_EQ(sizeOf(list.row(d)), std::string(10, ' '));
    EXPECT_EQ(dateOf(list.row(d)), "XXXX-XX-XX XX:XXAM");
}

TEST_F(DirListLoad, TwelveHourDatesAndWholeLongSizes) {
    makeFile("just-after-midnight", 1);
    setLocalMtime("just-after-midnight", 2021, 3, 4, 0, 7);
    makeFile("half-past-noon", 1);
    setLocalMtime("half-past-noon", 2021, 3, 4, 12, 30);
    makeFile("evening", 1);
    setLocalMtime("evening", 1999, 12, 31, 23, 59);
    makeFile("three-billion", 3000000000LL);  // sparse
    makeFile("eleven-digits", 12345678901LL);
    const DirList list = load(root);

    EXPECT_EQ(dateOf(list.row(indexOf(list, "just-after-midnight"))), "2021-03-04 12:07AM");
    EXPECT_EQ(dateOf(list.row(indexOf(list, "half-past-noon"))), "2021-03-04 12:30PM");
    EXPECT_EQ(dateOf(list.row(indexOf(list, "evening"))), "1999-12-31 11:59PM");

    const std::string& big = list.row(indexOf(list, "three-billion"));
    EXPECT_EQ(sizeOf(big), "3000000000");
    EXPECT_EQ(big.size(), 78u);
    const std::string& huge = list.row(indexOf(list, "eleven-digits"));
    EXPECT_EQ(huge.substr(48, 11), "12345678901");  // not cut; the date moves one column right
    EXPECT_EQ(huge.size(), 79u);
    EXPECT_EQ(huge.substr(59, 2), "  ");
}

TEST(DirListDate, ClockHoursAndYearsThatDoNotFit) {
    std::tm t{};
    t.tm_year = 121;
    t.tm_mon = 2;
    t.tm_mday = 4;
    const struct { int hour; int minute; const char* text; } cases[] = {
        {0, 0, "2021-03-04 12:00AM"}, {1, 5, "2021-03-04 01:05AM"},  {11, 59, "2021-03-04 11:59AM"},
        {12, 0, "2021-03-04 12:00PM"}, {13, 1, "2021-03-04 01:01PM"}, {23, 9, "2021-03-04 11:09PM"}};
    for (const auto& c : cases) {
        t.tm_hour = c.hour;
        t.tm_min = c.minute;
        EXPECT_EQ(dateText(t), c.text);
    }
    t.tm_year = 10000 - 1900;  // five digits would break the fixed columns
    EXPECT_EQ(dateText(t), kUnknownDate);
}

TEST_F(DirListLoad, EachSortModeOnARealDirectory) {
    for (const char* name : {"beta", "#hash", "-dash", "(paren", "7seven", "Alpha"}) makeFile(name, 10);
    ASSERT_EQ(mkdir(path("zdir").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(path("adir").c_str(), 0755), 0);
    makeFile("emptyfile", 0);
    makeFile("large", 5000);
    makeFile("medium", 300);
    setLocalMtime("beta", 1999, 5, 1, 10, 0);
    setLocalMtime("Alpha", 2001, 5, 1, 10, 0);
    ASSERT_EQ(symlink("nowhere", path("broken").c_str()), 0);

    auto order = [&](int mode) {
        const DirList list = load(root, mode);
        EXPECT_EQ(list.row(1), parentRowText());
        EXPECT_EQ(list.name(1), "..");
        std::vector<std::string> names;
        for (int i = 2; i <= list.count; ++i) names.push_back(list.name(i));
        return names;
    };
    const std::vector<std::string> byName = order(1);
    EXPECT_EQ(byName, (std::vector<std::string>{"#hash", "(paren", "-dash", "7seven", "adir", "Alpha", "beta",
                                                "broken", "emptyfile", "large", "medium", "zdir"}));
    EXPECT_EQ(order(9), byName);

    const std::vector<std::string> byType = order(2);
    EXPECT_EQ(byType, (std::vector<std::string>{"adir", "zdir", "#hash", "(paren", "-dash", "7seven", "Alpha", "beta",
                                                "broken", "emptyfile", "large", "medium"}));

    const std::vector<std::string> bySize = order(3);
    ASSERT_EQ(bySize.size(), 12u);
    EXPECT_EQ(bySize[0], "large");
    EXPECT_EQ(bySize[1], "medium");
    // Then the six 10-byte files in whatever order the passes leave equal sizes,
    // then everything of size 0 in Name order.
    EXPECT_EQ(std::vector<std::string>(bySize.end() - 4, bySize.end()),
              (std::vector<std::string>{"adir", "broken", "emptyfile", "zdir"}));

    const std::vector<std::string> byDate = order(4);
    EXPECT_EQ(byDate[0], "beta");
    EXPECT_EQ(byDate[1], "Alpha");
    EXPECT_EQ(byDate.back(), "broken");
}

TEST_F(DirListLoad, EmptyUnreadableAndVanishedDirectoriesShowOnlyTheParent) {
    auto expectOnlyParent = [](const DirList& list) {
        EXPECT_EQ(list.count, 1);
        EXPECT_EQ(list.row(1), parentRowText());
        EXPECT_EQ(list.name(1), "..");
        for (int i = 2; i <= 20; ++i) EXPECT_EQ(list.row(i), kBlank) << i;
        EXPECT_EQ(list.row(21), "");
        EXPECT_EQ(list.row(-1), "");
        EXPECT_EQ(list.row(1000000), "");
    };
    ASSERT_EQ(mkdir(path("empty").c_str(), 0755), 0);
    expectOnlyParent(load(path("empty")));

    ASSERT_EQ(mkdir(path("gone").c_str(), 0755), 0);
    ASSERT_EQ(rmdir(path("gone").c_str()), 0);
    ASSERT_EQ(chdir(root.c_str()), 0);
    expectOnlyParent(load(path("gone")));
    EXPECT_EQ(cwd(), root);  // nowhere to go: the working directory stays

    // Really denied: an unprivileged child lists a directory only root may read.
    ASSERT_EQ(mkdir(path("private").c_str(), 0700), 0);
    makeFile("private/secret", 10);
    const auto seen = runAsNobody([&] {
        const DirList list = load(path("private"));
        return std::to_string(list.count) + "|" + list.row(1) + "|" + list.row(2);
    });
    if (!seen) GTEST_SKIP() << "cannot switch to an unprivileged user here";
    EXPECT_EQ(*seen, "1|" + parentRowText() + "|" + kBlank);
}

TEST_F(DirListLoad, AFileTheUserCannotOpenShowsABlankSize) {
    makeFile("secret", 4096, 0600);  // root's, unreadable to others
    makeFile("public", 4096, 0644);
    const auto seen = runAsNobody([&] {
        const DirList list = load(root);
        return list.row(indexOf(list, "secret")) + "\n" + list.row(indexOf(list, "public"));
    });
    if (!seen) GTEST_SKIP() << "cannot switch to an unprivileged user here";
    const std::string secret = seen->substr(0, seen->find('\n'));
    const std::string pub = seen->substr(seen->find('\n') + 1);
    EXPECT_EQ(lettersOf(secret), "ra   ");  // not nobody's, not nobody's group, others may not write
    EXPECT_EQ(sizeOf(secret), std::string(10, ' '));
    EXPECT_NE(dateOf(secret), kUnknownDate);  // its status is still readable
    EXPECT_EQ(sizeOf(pub), "4096      ");
}

TEST_F(DirListLoad, StatusIsReadThroughTheDirectoryNotTheWorkingDirectory) {
    // Root can enter any directory it can read, so a failing chdir cannot be
    // staged here; instead the entries are read with the working directory
    // elsewhere, and holding a decoy of the same name with other facts.
    ASSERT_EQ(mkdir(path("sub").c_str(), 0755), 0);
    makeFile("sub/data", 321);
    setLocalMtime("sub/data", 2010, 1, 2, 3, 4);
    makeFile("data", 99999);  // the decoy, in the working directory
    ASSERT_EQ(chdir(root.c_str()), 0);

    DirList list;
    const int fd = open(path("sub").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    appendEntries(list, fd);
    close(fd);
    EXPECT_EQ(cwd(), root);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.name(2), "data");
    EXPECT_EQ(sizeOf(list.row(2)), "321       ");
    EXPECT_EQ(dateOf(list.row(2)), "2010-01-02 03:04AM");

    // A relative path names the directory as seen from where we were.
    const DirList relative = load("sub");
    EXPECT_EQ(cwd(), path("sub"));
    ASSERT_EQ(relative.count, 2);
    EXPECT_EQ(sizeOf(relative.row(2)), "321       ");
}

TEST_F(DirListLoad, MoreEntriesThanTheClassicCapacityAreAllListed) {
    const int files = 10050;
    for (int i = 0; i < files; ++i) {
        const int fd = open(path("f" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    for (int mode : {1, 3}) {
        const DirList list = load(root, mode);
        ASSERT_EQ(list.count, files + 1);
        EXPECT_EQ(list.row(1), parentRowText());
        EXPECT_EQ(list.name(1), "..");
        std::vector<bool> seen(files, false);
        for (int i = 2; i <= list.count; ++i) seen[std::stoi(list.name(i).substr(1))] = true;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), files);
        for (int i = list.count + 1; i <= list.count + 19; ++i) EXPECT_EQ(list.row(i), kBlank);
        EXPECT_EQ(list.row(list.count + 20), "");
        EXPECT_EQ(list.name(2), "f0");
        EXPECT_EQ(list.name(3), "f1");
        EXPECT_EQ(list.name(4), "f10");
    }
}

TEST(DirListSystem, DevAndProcListWithoutBlocking) {
    const int saved = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const DirList dev = load("/dev");
    const int null = indexOf(dev, "null");
    ASSERT_GT(null, 1);
    EXPECT_EQ(lettersOf(dev.row(null)).substr(0, 2), "sa");
    EXPECT_EQ(sizeOf(dev.row(null)), std::string(10, ' '));

    const DirList proc = load("/proc");
    const int self = indexOf(proc, "self");
    ASSERT_GT(self, 1);
    EXPECT_TRUE(isDirRow(proc.row(self)));

    const DirList top = load("/");
    EXPECT_EQ(top.row(1), parentRowText());
    EXPECT_GT(top.count, 1);
    ASSERT_EQ(fchdir(saved), 0);
    close(saved);
}

TEST_F(DirListLoad, SameListWhateverTheThreadsAndHowFarTheNameArenaGrew) {
    // Long names make the arena grow many times while the names are read.
    for (int i = 0; i < 1500; ++i)
        makeFile(std::string(180 + i % 60, static_cast<char>('a' + i % 26)) + std::to_string(i), i % 7 * 1000,
                 i % 3 ? 0644 : 0444);
    ASSERT_EQ(mkdir(path("zdir").c_str(), 0755), 0);
    auto factsOf = [](const std::string& p) {
        struct stat st {};
        EntryFacts f;
        if (stat(p.c_str(), &st) != 0) return f;
        f = {true, st.st_mode, st.st_uid, st.st_gid, st.st_mtim.tv_sec, readableSize(AT_FDCWD, p.c_str(), st)};
        return f;
    };
    const int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    DirList one, three;
    appendEntries(one, fd, 1);
    appendEntries(three, fd, 3);
    close(fd);
    ASSERT_EQ(one.count, 1502);
    ASSERT_EQ(three.count, one.count);
    for (int i = 1; i <= one.count + 20; ++i) {
        ASSERT_EQ(three.row(i), one.row(i)) << i;
        ASSERT_EQ(three.name(i), one.name(i)) << i;
        if (i < 2 || i > one.count) continue;
        // Every name whole, and its row made from that name and its own status.
        ASSERT_EQ(one.row(i), rowText(one.name(i), factsOf(path(one.name(i))), geteuid(), getegid())) << i;
    }
}
