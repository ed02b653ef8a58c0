// The directory list: loading real directories, and the fast sort against Kestrel's historical one on tie-rich lists.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <random>


#include "as_nobody.h"
#include "dirlist/dir_list.h"
#include "temp_dir.h"

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

std::string cwd() { return std::filesystem::current_path().string(); }
EntryFacts facts(mode_t mode, std::uint64_t size, std::time_t mtime) { return {true, mode, 0, 0, mtime, size}; }

// The fixed columns of a row (for rows whose size text fits ten characters).
std::string lettersOf(const std::string& row) { return row.substr(43, 5); }
std::string sizeOf(const std::string& row) { return row.substr(48, 10); }
std::string dateOf(const std::string& row) { return row.substr(row.size() - 18); }
const std::string kBlank(78, ' ');

// A scratch directory others may enter; the working directory the loader moves is put back.
class DirListLoad : public ::testing::Test {
protected:
    void SetUp() override { chmod(root.c_str(), 0755); savedCwd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); }
    void TearDown() override { EXPECT_EQ(fchdir(savedCwd), 0); close(savedCwd); }
    std::string path(const std::string& name) const { return root + "/" + name; }
    void makeFile(const std::string& name, off_t size = 0, mode_t mode = 0644) const {
        ASSERT_EQ(truncate(dir.file(name).c_str(), size) | chmod(path(name).c_str(), mode), 0) << name;
    }
    void setLocalMtime(const std::string& name, int year, int month, int day, int hour, int minute) const {
        std::tm t{0, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
        const timespec times[2] = {{std::time(nullptr), 0}, {std::mktime(&t), 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path(name).c_str(), times, 0), 0) << name;
    }
    static DirList entriesOf(const std::string& dir, int threads = 0) {
        DirList list;
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        appendEntries(list, fd, threads);
        close(fd);
        return list;
    }
    static const std::string& rowNamed(const DirList& list, const std::string& name) {
        for (int i = 1; i <= list.count; ++i)
            if (list.name(i) == name) return list.row(i);
        static const std::string none = "(not listed)";
        return none;
    }
    TempDir dir;
    const std::string root = dir.path;
    int savedCwd = -1;
};

}  // namespace

TEST_F(DirListLoad, RowColumnsForEachKindDateAndSize) {
    const std::string longName(40, 'L');
    for (const auto& [name, size, mode] : {std::tuple<std::string, off_t, mode_t>{"writable", 1234, 0644}, {"readonly", 5, 0444},
                                           {"empty", 0, 0644}, {longName, 1, 0644}, {".hidden", 1, 0644}, {"target", 777, 0644},
                                           {"three-billion", 3000000000LL, 0644}, {"eleven-digits", 12345678901LL, 0644}})
        makeFile(name, size, mode);  // the big ones sparse
    ASSERT_EQ(mkdir(path("opendir").c_str(), 0755) | mkdir(path("lockeddir").c_str(), 0555), 0);
    // No writer, no listener: opening either for reading would wait forever.
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);
    const bool root0 = geteuid() == 0;
    if (root0) { ASSERT_EQ(mknod(path("nulldev").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0); }
    setLocalMtime("target", 2001, 6, 15, 14, 45);
    std::vector<std::pair<std::string, std::string>> rows;  // twelve-hour dates at both edges of noon and midnight
    for (const auto& [hour, minute, text] : {std::tuple{0, 7, "12:07AM"}, {11, 59, "11:59AM"}, {12, 30, "12:30PM"}, {13, 1, "01:01PM"}}) {
        rows.emplace_back("at" + std::to_string(hour), std::string(" file a    1           2021-03-04 ") + text);
        makeFile(rows.back().first, 1);
        setLocalMtime(rows.back().first, 2021, 3, 4, hour, minute);
    }
    ASSERT_EQ(symlink("target", path("tofile").c_str()) | symlink("opendir", path("todir").c_str()) |
                  symlink("nowhere", path("dangling").c_str()), 0);

    PauseRecorder clock;
    DirList list;
    loadDirectory(list, root, 1, clock);
    EXPECT_EQ(std::tuple(clock.pauses, cwd(), list.count),
              std::tuple(std::vector<int>{20, 20, 20}, root, root0 ? 19 : 18));
    // name, kind, letters, size, and the date when it is pinned
    const std::string none = "(not listed)", system = " file sa              ", folder = "  dir                ";
    rows.insert(rows.end(), {{"writable", " file a    1234      "}, {"readonly", " file ra   5         "}, {"todir", folder},
             {"empty", " file a               "}, {"opendir", folder}, {"lockeddir", "  dir r              "}, {"pipe", system},
             {"nulldev", root0 ? system : none}, {"tofile", " file a    777         2001-06-15 02:45PM"},
             {"dangling", " file a                XXXX-XX-XX XX:XXAM"}, {longName, " file a    1         "},
             {"three-billion", " file a    3000000000"}, {".hidden", none}});
    for (const auto& [name, columns] : rows) {
        const std::string& row = rowNamed(list, name);
        if (row == "(not listed)" && columns == row) continue;
        ASSERT_EQ(row.size(), 78u) << name;
        EXPECT_EQ(row.substr(0, 37 + columns.size()), (name + std::string(37, ' ')).substr(0, 37) + columns);
        EXPECT_EQ(std::tuple(name == "dangling" || dateOf(row) != kUnknownDate, isDirRow(row), isFileRow(row)),
                  std::tuple(true, columns[2] == 'd', columns[1] == 'f')) << name;
    }
    const std::string& huge = rowNamed(list, "eleven-digits");
    EXPECT_EQ(huge.substr(48, 13) + std::to_string(huge.size()), "12345678901  79");  // not cut; the date moves right
    std::tm last{0, 0, 0, 1, 0, 9999 - 1900, 0, 0, 0, 0, nullptr}, fiveDigits = last;
    fiveDigits.tm_year += 1;  // would break the fixed columns
    EXPECT_EQ(std::pair(dateText(last), dateText(fiveDigits)), std::pair(std::string("9999-01-01 12:00AM"), std::string(kUnknownDate)));
}

TEST_F(DirListLoad, EmptyUnreadableAndVanishedDirectoriesShowOnlyTheParent) {
    auto onlyParent = [](const DirList& list) {
        bool blanks = true;
        for (int i = 2; i <= 20; ++i) blanks = blanks && list.row(i) == kBlank;
        return list.count == 1 && list.row(1) == parentRowText() && list.name(1) == ".." && blanks &&
               list.row(21) + list.row(-1) + list.row(1000000) == "";
    };
    ASSERT_EQ(mkdir(path("empty").c_str(), 0755) | mkdir(path("gone").c_str(), 0755) | rmdir(path("gone").c_str()), 0);
    EXPECT_TRUE(onlyParent(load(path("empty"))));
    ASSERT_EQ(chdir(root.c_str()), 0);
    EXPECT_TRUE(onlyParent(load(path("gone"))));
    EXPECT_EQ(cwd(), root);  // nowhere to go: the working directory stays

    // Really denied, to an unprivileged child: a directory, a file's size, a file's writing.
    ASSERT_EQ(mkdir(path("private").c_str(), 0700), 0);
    makeFile("private/secret", 10);
    makeFile("secret", 4096, 0600);
    makeFile("mine", 4096, 0644);  // nobody's own
    ASSERT_EQ(chown(path("mine").c_str(), 65534, 65534), 0);
    const int seen = asNobody([&] {
        const DirList top = load(root);
        const std::string secret = rowNamed(top, "secret"), mine = rowNamed(top, "mine");
        return (onlyParent(load(path("private"))) ? 0 : 1) | (lettersOf(secret) + sizeOf(secret) == "ra   " + std::string(10, ' ') ? 0 : 2) |
               (dateOf(secret) != kUnknownDate ? 0 : 4) | (lettersOf(mine) + sizeOf(mine) == "a    4096      " ? 0 : 8);
    });
    if (seen == kCannotDrop) GTEST_SKIP() << "cannot switch to an unprivileged user here";
    EXPECT_EQ(seen, 0);
}

// Past three shares of 512 entries; long names grow the name arena many times.
TEST_F(DirListLoad, ALargeDirectoryIsTheSameWhateverTheThreads) {
    const int files = 1600;
    for (int i = 0; i < files; ++i)
        makeFile(std::string(180 + i % 60, static_cast<char>('a' + i % 26)) + std::to_string(i), i % 7 * 1000, i % 3 ? 0644 : 0444);
    ASSERT_EQ(mkdir(path("zdir").c_str(), 0755), 0);
    const DirList one = entriesOf(root, 1), three = entriesOf(root, 3);
    ASSERT_EQ(std::pair(one.count, three.count), std::pair(files + 2, files + 2));
    for (int i = 1; i <= one.count + 20; ++i) {
        ASSERT_EQ(three.row(i) + three.name(i), one.row(i) + one.name(i)) << i;
        if (i < 2 || i > one.count || one.name(i) == "zdir") continue;
        // Every name whole, and its row showing that file's own mode and size.
        const int k = std::stoi(one.name(i).substr(one.name(i).find_first_of("0123456789")));
        ASSERT_EQ(one.row(i).substr(0, 37) + lettersOf(one.row(i)) + sizeOf(one.row(i)),
                  one.name(i).substr(0, 37) + (k % 3 ? "a    " : "ra   ") + ((k % 7 ? std::to_string(k % 7 * 1000) : "") + kBlank).substr(0, 10))
            << i;
    }
}

// One offset per steady day gives the C library's dates: half and quarter hours, half-hour DST, odd-second local mean time.
TEST(DirListDates, TheLoadsLocalDatesAreTheCLibrarys) {
    const char* const old = std::getenv("TZ");
    const std::string kept = old ? old : "";
    std::vector<std::time_t> times = {0, -1, 253402300799, 253402300800, std::time_t{1} << 40, -(std::time_t{1} << 40)};
    for (std::time_t t = -2208988800; t < 2208988800; t += 26183) times.push_back(t);  // 1900 to 2040, 7h16m23s apart
    for (const char* zone : {"UTC", "America/St_Johns", "Asia/Kathmandu", "Australia/Lord_Howe", "Europe/Amsterdam", "America/Sao_Paulo"}) {
        setenv("TZ", zone, 1);
        tzset();
        LocalDates dates;
        for (std::time_t t : times) ASSERT_EQ(dates.keyOf(t), dateKey(facts(0, 0, t))) << zone << " " << t;
    }
    old ? setenv("TZ", kept.c_str(), 1) : unsetenv("TZ");
    tzset();
}

namespace {

std::string lcase(std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return s;
}

// The size text ends two spaces before the date; a blank size is 0.
unsigned long long sizeValue(const std::string& row) {
    const std::string text = row.substr(48, row.size() - 68);
    return text.find_first_not_of(' ') == std::string::npos ? 0 : std::stoull(text);
}

bool outOfOrder(int mode, bool zeroAware, const std::string& a, const std::string& b) {
    const std::string date = mode == 4 ? a.substr(a.size() - 18) : "", dateB = mode == 4 ? b.substr(b.size() - 18) : "";
    if (mode == 2) return a.substr(38, 5) + lcase(a) > b.substr(38, 5) + lcase(b);
    if (mode != 3) return date + lcase(a) > dateB + lcase(b);
    if (zeroAware && sizeValue(a) == 0 && sizeValue(b) == 0) return lcase(a) > lcase(b);
    return sizeValue(a) < sizeValue(b);
}

// Rows and names 0 to count + 19 (the parent's row 1 among them), sorted by the historical steps when `mode` is given.
std::vector<std::pair<std::string, std::string>> rowsOf(const DirList& list, std::optional<int> mode = {}) {
    std::vector<std::pair<std::string, std::string>> r;
    for (int i = 0; i <= list.count + 19; ++i) r.emplace_back(list.row(i), list.name(i));
    if (!mode) return r;
    const int n = list.count, m = *mode >= 1 && *mode <= 4 ? *mode : 1;
    auto pass = [&](int g, bool zeroAware) {
        bool moved = false;
        for (int i = 2; i <= n - g; ++i)
            if (outOfOrder(m, zeroAware, r[i].first, r[i + g].first)) moved = true, std::swap(r[i], r[i + g]);
        return moved;
    };
    for (int g : {1500, 1000, 600, 300, 100, 75, 50, 25})
        if (n > g) pass(g, false);
    if (m == 3 && n > 25) pass(25, true);
    while (pass(1, true)) {}
    return r;
}

// Names colliding once lowercased, punctuation, and long ones differing (in case) past byte 8 or 16.
const char* const kNames[] = {"a",  "A",  "ab", "AB", "aB", "a b", "b", "B", "#x", "-y", "(z", "10", "9", "zz", "Zz",
                              "longname_part_a", "LONGNAME_part_A", "longname_part_b", "longname_parT", "longname_",
                              "a_rather_long_name_1", "A_Rather_Long_Name_1", "a_rather_long_name_2", "a_rather_long_name",
                              "cased_beyond_sixteen_A", "cased_beyond_sixteen_a", "cased_beyond_sixteen_Z", "cased_beyond_sixteen_z"};
const std::uint64_t kSizes[] = {0, 0, 0, 1, 7, 42, 42, 1000, 3000000000ULL, 12345678901ULL, 99999999999999ULL};
const std::time_t kTimes[] = {946684800, 946684800, 978307200, 1600000000, 1600000000 + 43200};

DirList randomList(int entries, unsigned seed) {
    std::mt19937 rng(seed);
    DirList list;
    const mode_t kinds[] = {S_IFREG, S_IFREG, S_IFREG, S_IFDIR, S_IFDIR, S_IFIFO};
    for (int i = 2; i <= entries + 1; ++i) {
        // A unique tail past the 37 columns the row shows tells equal rows apart.
        const std::string name = (kNames[rng() % std::size(kNames)] + std::string(37, ' ')).substr(0, 37);
        EntryFacts f = facts(kinds[rng() % 6] | ((rng() % 2) ? 0644 : 0444), kSizes[rng() % std::size(kSizes)], kTimes[rng() % std::size(kTimes)]);
        if (rng() % 12 == 0) f = EntryFacts{};  // status unknown
        addEntry(list, name + "#" + std::to_string(i), f, 0, 0);
    }
    return list;
}

}  // namespace

TEST(DirListSort, MatchesReferenceOnTieRichListsInEveryMode) {
    unsigned seed = 1;
    for (int entries : {0, 1, 2, 3, 5, 24, 25, 26, 27, 51, 76, 101, 180, 301, 650, 1010, 1600}) {
        for (int round = 0; round < (entries > 600 ? 1 : 4); ++round, ++seed) {
            const DirList original = randomList(entries, seed);
            for (int mode : {1, 2, 3, 4, 0, 5}) {  // 0 and 5: no such mode, sorted by name
                DirList fast = original, keyed = original;
                sortList(fast, mode);
                sortList(keyed, mode, 0);  // as compact keys on two cores, as long lists are
                ASSERT_EQ(rowsOf(fast), rowsOf(original, mode)) << "entries " << entries << " seed " << seed << " mode " << mode;
                ASSERT_EQ(rowsOf(keyed), rowsOf(fast));
            }
        }
    }
}
