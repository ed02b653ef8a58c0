// The fast sort against Kestrel's historical sort, transcribed step for step
// (quadratic, lowercasing inside every comparison), on lists full of ties.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dirlist/dir_list.h"

using namespace kestrel;

namespace {

// The list as the historical sort saw it: two plain arrays of texts.
struct ReferenceList {
    std::vector<std::string> rowText, names;
    int count = 1;
};

std::string lcase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// The size text sits between column 49 and the two spaces before the date; a
// blank size is 0.
unsigned long long sizeOf(const std::string& row) {
    std::string text = row.substr(48, row.size() - 48 - 20);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? 0 : std::stoull(text);
}

std::string dateTextOf(const std::string& row) { return row.substr(row.size() - 18, 18); }

bool outOfOrder(int mode, bool zeroAware, const std::string& ri, const std::string& rj) {
    switch (mode) {
        case 2: return ri.substr(38, 5) + lcase(ri) > rj.substr(38, 5) + lcase(rj);
        case 3:
            if (zeroAware && sizeOf(ri) == 0 && sizeOf(rj) == 0) return lcase(ri) > lcase(rj);
            return sizeOf(ri) < sizeOf(rj);
        case 4: return dateTextOf(ri) + lcase(ri) > dateTextOf(rj) + lcase(rj);
        default: return lcase(ri) > lcase(rj);
    }
}

void exchange(ReferenceList& list, int i, int j) {
    std::swap(list.rowText[i], list.rowText[j]);
    std::swap(list.names[i], list.names[j]);
}

// Rows and names 0 to count + 19 of `list`, as its readers see them.
ReferenceList referenceOf(const DirList& list) {
    ReferenceList out;
    out.count = list.count;
    for (int i = 0; i <= list.count + 19; ++i) {
        out.rowText.push_back(list.row(i));
        out.names.push_back(list.name(i));
    }
    return out;
}

void referenceSortList(ReferenceList& list, int sortList) {
    const int n = list.count;
    const int mode = (sortList >= 1 && sortList <= 4) ? sortList : 1;
    const int gaps[] = {1500, 1000, 600, 300, 100, 75, 50, 25};
    for (int g : gaps) {
        if (n > g) {
            for (int i = 2; i <= n - g; ++i)
                if (outOfOrder(mode, false, list.rowText[i], list.rowText[i + g])) exchange(list, i, i + g);
        }
    }
    if (mode == 3 && n > 25) {
        for (int i = 2; i <= n - 25; ++i)
            if (outOfOrder(mode, true, list.rowText[i], list.rowText[i + 25])) exchange(list, i, i + 25);
    }
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int i = 2; i <= n - 1; ++i) {
            if (outOfOrder(mode, true, list.rowText[i], list.rowText[i + 1])) {
                exchange(list, i, i + 1);
                exchanged = true;
            }
        }
    }
}


// Names that collide once lowercased, and the punctuation that sorts before
// digits; the long ones differ (or differ only in case) past their 8th or 16th byte.
const char* const kNames[] = {"a",  "A",  "ab", "AB", "aB", "a b", "b", "B", "#x", "-y", "(z", "10", "9", "zz", "Zz",
                              "longname_part_a", "LONGNAME_part_A", "longname_part_b", "longname_parT", "longname_",
                              "a_rather_long_name_1", "A_Rather_Long_Name_1", "a_rather_long_name_2", "a_rather_long_name",
                              "cased_beyond_sixteen_A", "cased_beyond_sixteen_a", "cased_beyond_sixteen_Z", "cased_beyond_sixteen_z"};
const std::uint64_t kSizes[] = {0, 0, 0, 1, 7, 42, 42, 1000, 3000000000ULL, 12345678901ULL, 99999999999999ULL};
const std::time_t kTimes[] = {946684800, 946684800, 978307200, 1600000000, 1600000000 + 43200};

EntryFacts randomFacts(std::mt19937& rng) {
    EntryFacts f;
    const int pick = static_cast<int>(rng() % 12);
    if (pick == 0) return f;  // status unknown
    f.known = true;
    const mode_t kinds[] = {S_IFREG, S_IFREG, S_IFREG, S_IFDIR, S_IFDIR, S_IFIFO};
    f.mode = kinds[rng() % 6] | ((rng() % 2) ? 0644 : 0444);
    f.uid = 0;
    f.gid = 0;
    f.mtime = kTimes[rng() % std::size(kTimes)];
    f.size = kSizes[rng() % std::size(kSizes)];
    return f;
}

DirList randomList(int entries, unsigned seed) {
    std::mt19937 rng(seed);
    DirList list;
    for (int i = 2; i <= entries + 1; ++i) {
        // A unique tail on the entry name, past the 37 columns the row shows,
        // tells which of two equal rows ended up where.
        std::string name = kNames[rng() % std::size(kNames)];
        name.resize(37, ' ');
        addEntry(list, name + "#" + std::to_string(i), randomFacts(rng), 0, 0);
    }
    return list;
}

DirList listOf(std::initializer_list<std::pair<std::string, EntryFacts>> entries) {
    DirList list;
    for (const auto& [name, facts] : entries) addEntry(list, name, facts, 0, 0);
    return list;
}

EntryFacts fileFacts(std::uint64_t size, std::time_t mtime) {
    EntryFacts f;
    f.known = true;
    f.mode = S_IFREG | 0644;
    f.size = size;
    f.mtime = mtime;
    return f;
}

}  // namespace

TEST(DirListSort, MatchesReferenceOnTieRichListsInEveryMode) {
    const int sizes[] = {0, 1, 2, 3, 5, 24, 25, 26, 27, 51, 76, 101, 180, 301, 650, 1010, 1600};
    const int modes[] = {1, 2, 3, 4, 0, 7, -3};
    unsigned seed = 1;
    for (int entries : sizes) {
        const int rounds = entries > 600 ? 1 : 4;
        for (int round = 0; round < rounds; ++round, ++seed) {
            const DirList original = randomList(entries, seed);
            for (int mode : modes) {
                if (entries > 600 && (mode == 0 || mode == -3)) continue;  // same path as 7; keeps the run short
                DirList fast = original;
                ReferenceList slow = referenceOf(original);
                sortList(fast, mode);
                referenceSortList(slow, mode);
                const ReferenceList sorted = referenceOf(fast);
                ASSERT_EQ(sorted.rowText, slow.rowText) << "entries " << entries << " seed " << seed << " mode " << mode;
                ASSERT_EQ(sorted.names, slow.names) << "entries " << entries << " seed " << seed << " mode " << mode;
                ASSERT_EQ(fast.row(1), parentRowText());
            }
        }
    }
}

TEST(DirListSort, LongSizeTextsStillSortByTheirWholeNumberAndRealDate) {
    const std::time_t older = 946684800, newer = 1600000000;
    // Eleven digits push the date one column right; neither size nor date may be misread.
    DirList list = listOf({{"big", fileFacts(12345678901ULL, newer)},
                           {"mid", fileFacts(9999999999ULL, older)},
                           {"small", fileFacts(5, newer)}});
    using Names = std::vector<std::string>;
    for (const auto& [mode, order] : {std::pair{3, Names{"big", "mid", "small"}}, std::pair{4, Names{"mid", "big", "small"}}}) {
        DirList sorted = list;
        sortList(sorted, mode);
        EXPECT_EQ((Names{sorted.name(2), sorted.name(3), sorted.name(4)}), order) << mode;
    }
}

TEST(DirListSort, NameTiesFallToTheRestOfTheRowAndRowOneNeverMoves) {
    EntryFacts dir;
    dir.known = true;
    dir.mode = S_IFDIR | 0755;
    DirList list = listOf({{"README", fileFacts(10, 0)}, {"readme", dir}, {"Readme", fileFacts(9, 0)}});
    sortList(list, 1);
    EXPECT_EQ(list.row(1), parentRowText());
    // "  dir " before " file ", then size "10" before "9 " as text.
    EXPECT_EQ((std::vector<std::string>{list.name(2), list.name(3), list.name(4)}),
              (std::vector<std::string>{"readme", "README", "Readme"}));
    EXPECT_EQ(list.row(5), std::string(78, ' '));
    EXPECT_EQ(list.row(24), "");
}
