// Long lists are sorted as compact keys on two cores: the order must be the
// one the row test gives, ties and all, in every mode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "dirlist/dir_list.h"

using namespace kestrel;

TEST(DirListSort, KeyedSortGivesTheRowTestsOrderInEveryMode) {
    // Names equal once lowercased or over their first 8 or 16 bytes, sizes
    // and dates that repeat, directories among files, unknown entries.
    const char* const names[] = {"a", "A", "file0001", "File0001", "file00010", "longname_part_a", "LONGNAME_part_A",
                                 "longname_part_b", "a_rather_long_name_1", "A_Rather_Long_Name_1", "#x", "10", "9"};
    const std::uint64_t sizes[] = {0, 0, 1, 42, 42, 3000000000ULL};
    const std::time_t times[] = {946684800, 946684800, 1600000000};
    std::mt19937 rng(7);
    for (int entries : {1, 2, 3, 26, 301, 1601, 4000}) {
        DirList original;
        for (int i = 0; i < entries; ++i) {
            EntryFacts f;
            f.known = rng() % 10 != 0;
            f.mode = (rng() % 4 == 0 ? S_IFDIR : S_IFREG) | 0644;
            f.size = sizes[rng() % std::size(sizes)];
            f.mtime = times[rng() % std::size(times)];
            // A tail past the 37 columns a row shows tells equal rows apart.
            std::string name = names[rng() % std::size(names)];
            name.resize(37, ' ');
            addEntry(original, name + "#" + std::to_string(i), f, 0, 0);
        }
        for (int mode : {1, 2, 3, 4, 0}) {
            DirList keyed = original, plain = original;
            sortList(keyed, mode, 0);
            sortList(plain, mode, SIZE_MAX);
            for (int row = 2; row <= original.count; ++row)
                ASSERT_EQ(keyed.name(row), plain.name(row)) << entries << " entries, mode " << mode << ", row " << row;
        }
    }
}
