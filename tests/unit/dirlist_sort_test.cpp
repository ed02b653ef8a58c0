// The fast sort against the literal transcription of Kestrel's historical
// sort, on lists built to be full of ties.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "dirlist/dir_list.h"
#include "dirlist_sort_reference.h"

using namespace kestrel;

namespace {

// Names that collide once lowercased, and the punctuation that sorts before digits.
const char* const kNames[] = {"a", "A", "ab", "AB", "aB", "a b", "b", "B", "#x", "-y", "(z", "10", "9", "zz", "Zz"};
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
    list.rowText.assign(entries + 21, std::string());
    list.names.assign(entries + 21, std::string());
    list.rowText[1] = parentRowText();
    list.names[1] = "..";
    list.count = entries + 1;
    for (int i = 2; i <= list.count; ++i) {
        // A unique suffix on the entry name (not in the row) shows which of two
        // equal rows ended up where.
        const std::string shown = kNames[rng() % std::size(kNames)];
        list.rowText[i] = rowText(shown, randomFacts(rng), 0, 0);
        list.names[i] = shown + "#" + std::to_string(i);
    }
    for (int i = list.count + 1; i <= list.count + 19; ++i) list.rowText[i].assign(78, ' ');
    return list;
}

DirList rowsOnly(std::initializer_list<std::string> rows) {
    DirList list;
    list.rowText = {"", parentRowText()};
    list.names = {"", ".."};
    for (const auto& r : rows) {
        list.rowText.push_back(r);
        list.names.push_back(r.substr(0, r.find(' ')));
    }
    list.count = static_cast<int>(list.rowText.size()) - 1;
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
                DirList fast = original, slow = original;
                sortList(fast, mode);
                test::referenceSortList(slow, mode);
                ASSERT_EQ(fast.rowText, slow.rowText) << "entries " << entries << " seed " << seed << " mode " << mode;
                ASSERT_EQ(fast.names, slow.names) << "entries " << entries << " seed " << seed << " mode " << mode;
                ASSERT_EQ(fast.rowText[1], parentRowText());
            }
        }
    }
}

TEST(DirListSort, LongSizeTextsStillSortByTheirWholeNumberAndRealDate) {
    const std::time_t older = 946684800, newer = 1600000000;
    // Eleven digits push the date one column right; neither size nor date may be misread.
    DirList list = rowsOnly({rowText("big", fileFacts(12345678901ULL, newer), 0, 0),
                             rowText("mid", fileFacts(9999999999ULL, older), 0, 0),
                             rowText("small", fileFacts(5, newer), 0, 0)});
    using Names = std::vector<std::string>;
    for (const auto& [mode, order] : {std::pair{3, Names{"", "..", "big", "mid", "small"}},
                                      std::pair{4, Names{"", "..", "mid", "big", "small"}}}) {
        DirList sorted = list;
        sortList(sorted, mode);
        EXPECT_EQ(sorted.names, order) << mode;
    }
}

TEST(DirListSort, NameTiesFallToTheRestOfTheRowAndRowOneNeverMoves) {
    EntryFacts dir;
    dir.known = true;
    dir.mode = S_IFDIR | 0755;
    DirList list = rowsOnly({rowText("README", fileFacts(10, 0), 0, 0), rowText("readme", dir, 0, 0),
                             rowText("Readme", fileFacts(9, 0), 0, 0)});
    // A blank storage slot after the list must not be pulled into the sort.
    list.rowText.push_back(std::string(78, ' '));
    list.names.push_back("");
    sortList(list, 1);
    // "  dir " before " file ", then size "10" before "9 " as text.
    EXPECT_EQ(list.names, (std::vector<std::string>{"", "..", "readme", "README", "Readme", ""}));
    EXPECT_EQ(list.rowText[1], parentRowText());
    EXPECT_EQ(list.rowText[5], std::string(78, ' '));
}
