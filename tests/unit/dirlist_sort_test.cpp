// The fast sort against Kestrel's historical sort, transcribed step for step
// (gap passes, then adjacent exchanges lowercasing inside every comparison),
// on lists full of ties: equal rows show where the gap passes left them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "dirlist/dir_list.h"

using namespace kestrel;
using Names = std::vector<std::string>;

namespace {

std::string lcase(std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return s;
}

// The size text ends two spaces before the date; a blank size is 0.
unsigned long long sizeOf(const std::string& row) {
    const std::string text = row.substr(48, row.size() - 68);
    return text.find_first_not_of(' ') == std::string::npos ? 0 : std::stoull(text);
}

bool outOfOrder(int mode, bool zeroAware, const std::string& a, const std::string& b) {
    const std::string date = mode == 4 ? a.substr(a.size() - 18) : "", dateB = mode == 4 ? b.substr(b.size() - 18) : "";
    if (mode == 2) return a.substr(38, 5) + lcase(a) > b.substr(38, 5) + lcase(b);
    if (mode != 3) return date + lcase(a) > dateB + lcase(b);
    if (zeroAware && sizeOf(a) == 0 && sizeOf(b) == 0) return lcase(a) > lcase(b);
    return sizeOf(a) < sizeOf(b);
}

// Rows and names 0 to count + 19, sorted by the historical steps when `mode` is given.
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

// Names colliding once lowercased, punctuation before digits, long names that
// differ (or differ only in case) past byte 8 or 16.
const char* const kNames[] = {"a",  "A",  "ab", "AB", "aB", "a b", "b", "B", "#x", "-y", "(z", "10", "9", "zz", "Zz",
                              "longname_part_a", "LONGNAME_part_A", "longname_part_b", "longname_parT", "longname_",
                              "a_rather_long_name_1", "A_Rather_Long_Name_1", "a_rather_long_name_2", "a_rather_long_name",
                              "cased_beyond_sixteen_A", "cased_beyond_sixteen_a", "cased_beyond_sixteen_Z", "cased_beyond_sixteen_z"};
const std::uint64_t kSizes[] = {0, 0, 0, 1, 7, 42, 42, 1000, 3000000000ULL, 12345678901ULL, 99999999999999ULL};
const std::time_t kTimes[] = {946684800, 946684800, 978307200, 1600000000, 1600000000 + 43200};

EntryFacts facts(mode_t mode, std::uint64_t size, std::time_t mtime) {
    EntryFacts f;
    f.known = true;
    f.mode = mode;
    f.size = size;
    f.mtime = mtime;
    return f;
}

DirList randomList(int entries, unsigned seed) {
    std::mt19937 rng(seed);
    DirList list;
    const mode_t kinds[] = {S_IFREG, S_IFREG, S_IFREG, S_IFDIR, S_IFDIR, S_IFIFO};
    for (int i = 2; i <= entries + 1; ++i) {
        // A unique tail past the 37 columns the row shows tells equal rows apart.
        std::string name = kNames[rng() % std::size(kNames)];
        name.resize(37, ' ');
        EntryFacts f = facts(kinds[rng() % 6] | ((rng() % 2) ? 0644 : 0444), kSizes[rng() % std::size(kSizes)],
                             kTimes[rng() % std::size(kTimes)]);
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
            for (int mode : {1, 2, 3, 4, 0, 7, -3}) {
                if (entries > 600 && (mode == 0 || mode == -3)) continue;  // same path as 7; keeps the run short
                DirList fast = original;
                sortList(fast, mode);
                ASSERT_EQ(rowsOf(fast), rowsOf(original, mode)) << "entries " << entries << " seed " << seed << " mode " << mode;
                ASSERT_EQ(fast.row(1), parentRowText());
            }
        }
    }
}

// Eleven digits push the date one column right: neither size nor date may be
// misread. Name ties fall to the rest of the row ("  dir " first, then "10"
// before "9 " as text).
TEST(DirListSort, LongSizesRealDatesAndNameTies) {
    const std::time_t older = 946684800, newer = 1600000000;
    DirList sizes, ties;
    for (const auto& [name, size, when] : {std::tuple{"big", 12345678901ULL, newer}, {"mid", 9999999999ULL, older}, {"small", 5ULL, newer}})
        addEntry(sizes, name, facts(S_IFREG | 0644, size, when), 0, 0);
    addEntry(ties, "README", facts(S_IFREG | 0644, 10, 0), 0, 0);
    addEntry(ties, "readme", facts(S_IFDIR | 0755, 0, 0), 0, 0);
    addEntry(ties, "Readme", facts(S_IFREG | 0644, 9, 0), 0, 0);
    for (const auto& [list, mode, order] : {std::tuple{&sizes, 3, Names{"big", "mid", "small"}}, {&sizes, 4, Names{"mid", "big", "small"}},
                                            {&ties, 1, Names{"readme", "README", "Readme"}}}) {
        DirList sorted = *list;
        sortList(sorted, mode);
        EXPECT_EQ((Names{sorted.name(1), sorted.name(2), sorted.name(3), sorted.name(4), sorted.row(5), sorted.row(24)}),
                  (Names{"..", order[0], order[1], order[2], std::string(78, ' '), ""})) << mode;
    }
}
