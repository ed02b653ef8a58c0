// Loading real directories: the row columns for every kind of entry, dates,
// sizes, failures and very large directories.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "dirlist/dir_list.h"
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;

namespace kestrel::test {

// The scratch directory fixture puts back the working directory the loader moves.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        chmod(root.c_str(), 0755);  // an unprivileged child must be able to get in
        savedCwd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    void TearDown() override {
        EXPECT_EQ(fchdir(savedCwd), 0);
        close(savedCwd);
    }

    std::string path(const std::string& name) const { return root + "/" + name; }
    void makeFile(const std::string& name, off_t size = 0, mode_t mode = 0644) const;
    void setLocalMtime(const std::string& name, int year, int month, int day, int hour, int minute) const;

    TempDir dir;
    const std::string root = dir.path;
    int savedCwd = -1;
};


// The fixed columns of a row (for rows whose size text fits ten characters).
inline std::string kindOf(const std::string& row) { return row.substr(37, 6); }
inline std::string lettersOf(const std::string& row) { return row.substr(43, 5); }
inline std::string sizeOf(const std::string& row) { return row.substr(48, 10); }
inline std::string dateOf(const std::string& row) { return row.substr(row.size() - 18); }

void TempDirTest::makeFile(const std::string& name, off_t size, mode_t mode) const {
    const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    ASSERT_EQ(chmod(path(name).c_str(), mode), 0);
}

void TempDirTest::setLocalMtime(const std::string& name, int year, int month, int day, int hour,
                                int minute) const {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    const timespec times[2] = {{std::time(nullptr), 0}, {std::mktime(&t), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path(name).c_str(), times, 0), 0) << name;
}

// The index of the entry with this name, or -1.
int indexOf(const DirList& list, const std::string& name) {
    for (int i = 1; i <= list.count; ++i)
        if (list.name(i) == name) return i;
    return -1;
}

// Runs `work` in a forked child that has dropped to uid/gid 65534 (nobody)
// and returns what it produced; nullopt when this process may not switch users.
std::optional<std::string> runAsNobody(const std::function<std::string()>& work) {
    int fds[2];
    if (geteuid() != 0 || pipe(fds) != 0) return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        close(fds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        const std::string out = work();
        _exit(write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size()) ? 0 : 3);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return std::nullopt;  // could not drop privileges
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the unprivileged child failed";
    return out;
}

}  // namespace kestrel::test

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

    // name, kind, letters, size
    const char* const expected[][4] = {
        {"writable", " file ", "a    ", "1234      "}, {"readonly", " file ", "ra   ", "5         "},
        {"empty", " file ", "a    ", "          "},    {"opendir", "  dir ", "     ", "          "},
        {"lockeddir", "  dir ", "r    ", "          "}, {"pipe", " file ", "sa   ", "          "},
        {"sock", " file ", "sa   ", "          "},     {"nulldev", " file ", "sa   ", "          "},
    };
    for (const auto& e : expected) {
        const int i = indexOf(list, e[0]);
        if (i < 0 && std::string(e[0]) == "nulldev" && geteuid() != 0) continue;
        ASSERT_GT(i, 1) << e[0];
        const std::string& row = list.row(i);
        EXPECT_EQ(row.substr(0, 37) + kindOf(row) + lettersOf(row) + sizeOf(row) + row.substr(58, 2),
                  (e[0] + std::string(37 - std::strlen(e[0]), ' ')) + e[1] + e[2] + e[3] + "  ");
        EXPECT_NE(dateOf(row), kUnknownDate) << e[0];
        EXPECT_EQ(isDirRow(row), e[1][2] == 'd') << e[0];
        EXPECT_EQ(isFileRow(row), e[1][1] == 'f') << e[0];
    }
    const int cut = indexOf(list, longName);
    ASSERT_GT(cut, 1);
    EXPECT_EQ(list.row(cut).substr(0, 37) + "|" + list.name(cut), std::string(37, 'L') + "|" + longName);
}

TEST_F(DirListLoad, SymbolicLinksAreFollowed) {
    makeFile("target", 777);
    setLocalMtime("target", 2001, 6, 15, 14, 45);
    ASSERT_EQ(mkdir(path("realdir").c_str(), 0755), 0);
    ASSERT_EQ(symlink("target", path("tofile").c_str()), 0);
    ASSERT_EQ(symlink("realdir", path("todir").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", path("dangling").c_str()), 0);
    const DirList list = load(root);

    for (const auto& [name, columns] : {std::pair{"tofile", " file a    777         2001-06-15 02:45PM"},
                                        {"todir", "  dir                "}, {"dangling", " file a                XXXX-XX-XX XX:XXAM"}}) {
        const std::string& row = list.row(indexOf(list, name));
        EXPECT_EQ(row.size(), 78u) << name;
        EXPECT_EQ(row.substr(37, std::strlen(columns)), columns) << name;
    }
}

TEST_F(DirListLoad, TwelveHourDatesAndWholeLongSizes) {
    const std::tuple<const char*, int, int, const char*> dates[] = {
        {"midnight", 0, 7, "2021-03-04 12:07AM"}, {"one", 1, 5, "2021-03-04 01:05AM"}, {"late", 11, 59, "2021-03-04 11:59AM"},
        {"noon", 12, 30, "2021-03-04 12:30PM"},   {"after", 13, 1, "2021-03-04 01:01PM"}, {"evening", 23, 9, "2021-03-04 11:09PM"}};
    for (const auto& [name, hour, minute, text] : dates) {
        makeFile(name, 1);
        setLocalMtime(name, 2021, 3, 4, hour, minute);
    }
    makeFile("three-billion", 3000000000LL);  // sparse
    makeFile("eleven-digits", 12345678901LL);
    const DirList list = load(root);
    for (const auto& [name, hour, minute, text] : dates) EXPECT_EQ(dateOf(list.row(indexOf(list, name))), text);
    EXPECT_EQ(sizeOf(list.row(indexOf(list, "three-billion"))), "3000000000");
    const std::string& huge = list.row(indexOf(list, "eleven-digits"));
    EXPECT_EQ(huge.substr(48, 13), "12345678901  ");  // not cut; the date moves one column right
    EXPECT_EQ(huge.size(), 79u);

    std::tm t{};
    t.tm_mday = 1;
    t.tm_year = 9999 - 1900;
    EXPECT_EQ(dateText(t), "9999-01-01 12:00AM");
    t.tm_year = 10000 - 1900;  // five digits would break the fixed columns
    EXPECT_EQ(dateText(t), kUnknownDate);
}

TEST_F(DirListLoad, EmptyUnreadableAndVanishedDirectoriesShowOnlyTheParent) {
    auto expectOnlyParent = [](const DirList& list) {
        EXPECT_EQ(list.count, 1);
        EXPECT_EQ(list.row(1), parentRowText());
        EXPECT_EQ(list.name(1), "..");
        for (int i = 2; i <= 20; ++i) EXPECT_EQ(list.row(i), kBlank) << i;
        EXPECT_EQ(list.row(21) + list.row(-1) + list.row(1000000), "");
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
    makeFile("public", 4096, 0664);  // writable by root's group, not by nobody
    const auto seen = runAsNobody([&] {
        const DirList list = load(root);
        return list.row(indexOf(list, "secret")) + "\n" + list.row(indexOf(list, "public"));
    });
    if (!seen) GTEST_SKIP() << "cannot switch to an unprivileged user here";
    const std::string secret = seen->substr(0, seen->find('\n')), pub = seen->substr(seen->find('\n') + 1);
    // Not nobody's, not nobody's group, others may not write; its status is still readable.
    EXPECT_EQ(lettersOf(secret) + sizeOf(secret), "ra   " + std::string(10, ' '));
    EXPECT_NE(dateOf(secret), kUnknownDate);
    EXPECT_EQ(lettersOf(pub) + sizeOf(pub), "ra   4096      ");
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
    appendEntries(list, fd);
    close(fd);
    EXPECT_EQ(cwd(), root);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.name(2) + "|" + sizeOf(list.row(2)) + "|" + dateOf(list.row(2)), "data|321       |2010-01-02 03:04AM");

    // A relative path names the directory as seen from where we were.
    const DirList relative = load("sub");
    EXPECT_EQ(cwd(), path("sub"));
    ASSERT_EQ(relative.count, 2);
    EXPECT_EQ(sizeOf(relative.row(2)), "321       ");
}

TEST_F(DirListLoad, MoreEntriesThanTheClassicCapacityAreAllListed) {
    const int files = 10050;
    dir.numberedFiles(files);
    // By size: every entry ties, so the whole list goes through the passes.
    const DirList list = load(root, 3);
    ASSERT_EQ(list.count, files + 1);
    EXPECT_EQ(list.row(1), parentRowText());
    std::vector<bool> seen(files, false);
    for (int i = 2; i <= list.count; ++i) seen.at(std::stoul(list.name(i).substr(1))) = true;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), files);
    for (int i = list.count + 1; i <= list.count + 19; ++i) EXPECT_EQ(list.row(i), kBlank);
    EXPECT_EQ(list.row(list.count + 20), "");
}

TEST_F(DirListLoad, SameListWhateverTheThreadsAndHowFarTheNameArenaGrew) {
    // Long names make the arena grow many times while the names are read.
    for (int i = 0; i < 1500; ++i)
        makeFile(std::string(180 + i % 60, static_cast<char>('a' + i % 26)) + std::to_string(i), i % 7 * 1000,
                 i % 3 ? 0644 : 0444);
    ASSERT_EQ(mkdir(path("zdir").c_str(), 0755), 0);
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
        if (i < 2 || i > one.count || one.name(i) == "zdir") continue;
        // Every name whole, and its row showing that file's own mode and size.
        const int k = std::stoi(one.name(i).substr(one.name(i).find_first_of("0123456789")));
        const std::string size = k % 7 ? std::to_string(k % 7 * 1000) : "";
        ASSERT_EQ(one.row(i).substr(0, 37) + lettersOf(one.row(i)) + sizeOf(one.row(i)),
                  one.name(i).substr(0, 37) + (k % 3 ? "a    " : "ra   ") + size + std::string(10 - size.size(), ' '))
            << i;
    }
}
