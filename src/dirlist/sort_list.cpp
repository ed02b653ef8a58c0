// Sorting the Directory list. The order must be exactly the one Kestrel has
// always produced: a few single gap passes followed by adjacent exchanges
// repeated until nothing moves. Those adjacent exchanges only ever swap two
// rows that are out of order, never two that compare equal, so their end
// result is the stable sort of what the gap passes left; std::stable_sort gets
// there in O(N log N) instead of O(N^2).
//
// Every comparison works on the records' keys, computed once by the loader:
// the lower-case row text is compared through the name's first sixteen bytes,
// then the rest of the name column in the arena, and only when two name
// columns are equal through the rest of the two rows, written out for the
// occasion. No row text is built to sort.
#include <algorithm>
#include <array>
#include <thread>

#include "dirlist/dir_list.h"

namespace kestrel {

namespace {

constexpr std::array<int, 8> kGaps{1500, 1000, 600, 300, 100, 75, 50, 25};
constexpr int kZeroAwareGap = 25;
constexpr std::size_t kNameWidth = 37;

enum class Test { Text, SizePlain, SizeZeroAware };

unsigned char lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Byte `i` of the lower-case name column (the name cut or padded to 37).
unsigned char nameColumnByte(std::string_view name, std::size_t i) {
    return i < name.size() ? lower(name[i]) : static_cast<unsigned char>(' ');
}

std::string lowerRowTail(const DirList& list, const EntryRecord& r) {
    std::string row;
    writeRow(list, r, row);
    std::string tail = row.substr(kNameWidth);
    for (char& c : tail) c = static_cast<char>(lower(c));
    return tail;
}

// lowercase(row a) compared with lowercase(row b): <0, 0 or >0.
int compareRows(const DirList& list, const EntryRecord& a, const EntryRecord& b) {
    if (a.namePrefix != b.namePrefix) return a.namePrefix < b.namePrefix ? -1 : 1;
    if (a.nameNext != b.nameNext) return a.nameNext < b.nameNext ? -1 : 1;
    const std::string_view na = list.nameOf(a), nb = list.nameOf(b);
    for (std::size_t i = 16; i < kNameWidth; ++i) {
        const unsigned char ca = nameColumnByte(na, i), cb = nameColumnByte(nb, i);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (i >= na.size() && i >= nb.size()) break;  // both padded from here on
    }
    return lowerRowTail(list, a).compare(lowerRowTail(list, b));
}

struct OutOfOrder {
    const DirList& list;
    SortMode mode;
    Test test;

    // True when row a, placed before row b, is out of order.
    bool operator()(const EntryRecord& a, const EntryRecord& b) const {
        switch (test) {
            case Test::SizePlain: return a.size < b.size;
            case Test::SizeZeroAware:
                if (a.size == 0 && b.size == 0) return compareRows(list, a, b) > 0;
                return a.size < b.size;
            case Test::Text: break;
        }
        if (mode == SortMode::Type) {
            // Columns 39 to 43 lead: " dir " before "file ".
            const bool dirA = a.flags & EntryRecord::kIsDir, dirB = b.flags & EntryRecord::kIsDir;
            if (dirA != dirB) return dirB;
        } else if (mode == SortMode::Date && a.dateKey != b.dateKey) {
            return a.dateKey > b.dateKey;
        }
        return compareRows(list, a, b) > 0;
    }
};

// Large lists (kKeyedSortFrom) are sorted as compact keys rather than indices into the
// records: the merges then walk contiguous memory instead of jumping through
// 48-byte records, and two halves are sorted on two cores before one stable
// merge. Each key orders exactly as the row test does wherever the keys
// differ (equal keys fall back to the test itself), so the order is the same.
struct SortKey {
    std::uint64_t major, minor;
    std::uint32_t record;
};

SortKey keyOf(const EntryRecord& r, std::uint32_t record, SortMode mode) {
    switch (mode) {
        case SortMode::Size:  // larger first; empty entries by their text, equal sizes stay as they are
            return {~r.size, r.size == 0 ? r.namePrefix : 0, record};
        case SortMode::Date: return {r.dateKey, r.namePrefix, record};
        case SortMode::Type: {  // directories first, then the name column
            const std::uint64_t file = (r.flags & EntryRecord::kIsDir) ? 0 : 1;
            return {file << 63 | r.namePrefix >> 1, r.namePrefix << 63 | r.nameNext >> 1, record};
        }
        case SortMode::Name: break;
    }
    return {r.namePrefix, r.nameNext, record};
}

template <typename Less>
void stableSortOnTwoCores(std::vector<SortKey>& keys, Less less) {
    const auto middle = keys.begin() + static_cast<std::ptrdiff_t>(keys.size() / 2);
    if (std::thread::hardware_concurrency() < 2) {
        std::stable_sort(keys.begin(), keys.end(), less);
        return;
    }
    std::thread firstHalf([&] { std::stable_sort(keys.begin(), middle, less); });
    std::stable_sort(middle, keys.end(), less);
    firstHalf.join();
    std::inplace_merge(keys.begin(), middle, keys.end(), less);  // stable: the first half wins ties
}

SortMode modeFromSetting(int setting) {
    if (setting >= 2 && setting <= 4) return static_cast<SortMode>(setting);
    return SortMode::Name;
}

}  // namespace

void sortList(DirList& list, int setting, std::size_t keyedFrom) {
    std::vector<std::uint32_t>& place = list.order();  // place[p - 2] = the record in row p
    const int n = std::min(list.count, static_cast<int>(place.size()) + 1);
    if (n < 3) return;  // at most one row below the parent: nothing to order
    const SortMode mode = modeFromSetting(setting);
    const std::vector<EntryRecord>& records = list.records();
    const OutOfOrder gapTest{list, mode, mode == SortMode::Size ? Test::SizePlain : Test::Text};
    const OutOfOrder finalTest{list, mode, mode == SortMode::Size ? Test::SizeZeroAware : Test::Text};

    // Rows are numbered as on screen: row p is place[p - 2].
    auto at = [&](int p) -> std::uint32_t& { return place[static_cast<std::size_t>(p - 2)]; };
    auto gapPass = [&](int gap, const OutOfOrder& test) {
        for (int i = 2; i <= n - gap; ++i)
            if (test(records[at(i)], records[at(i + gap)])) std::swap(at(i), at(i + gap));
    };
    for (int gap : kGaps)
        if (n > gap) gapPass(gap, gapTest);
    if (mode == SortMode::Size && n > kZeroAwareGap) gapPass(kZeroAwareGap, finalTest);

    // "b out of order before a" is a strict weak ordering in every mode (text
    // order; size descending with zero sizes ordered by text), so this is the
    // order the repeated adjacent exchanges would settle on.
    const auto rows = static_cast<std::size_t>(n - 1);
    if (rows < keyedFrom) {
        std::stable_sort(place.begin(), place.begin() + (n - 1),
                         [&](std::uint32_t a, std::uint32_t b) { return finalTest(records[b], records[a]); });
    } else {
        std::vector<SortKey> keys(rows);
        for (std::size_t i = 0; i < rows; ++i) keys[i] = keyOf(records[place[i]], place[i], mode);
        stableSortOnTwoCores(keys, [&](const SortKey& a, const SortKey& b) {
            if (a.major != b.major) return a.major < b.major;
            if (a.minor != b.minor) return a.minor < b.minor;
            return finalTest(records[b.record], records[a.record]);
        });
        for (std::size_t i = 0; i < rows; ++i) place[i] = keys[i].record;
    }
    list.forgetShownRows();
}

}  // namespace kestrel
