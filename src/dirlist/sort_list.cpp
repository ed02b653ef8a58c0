// Sorting the Directory list. The order must be exactly the one Kestrel has
// always produced: a few single gap passes followed by adjacent exchanges
// repeated until nothing moves. Those adjacent exchanges only ever swap two
// rows that are out of order, never two that compare equal, so their end
// result is the stable sort of what the gap passes left: the order of the row
// test, rows the test finds equal kept in the order the gap passes left them.
//
// Rows the test finds equal are rare outside Size mode (whole rows equal but
// for the case of their names), so there the list is sorted straight from
// directory order and the gap passes are made, and the list sorted again,
// only when the sorted list shows two equal rows side by side. Size mode makes
// its gap passes first: they compare sizes only and cost little.
//
// The sort itself moves 16-byte keys: the mode's leading fields (taken from
// the records and the first bytes of the name column) and the row's place
// before sorting, which makes the order total and the sort stable. Where two
// keys tie the row test decides, reading the rest of the name column from the
// arena and, only when two name columns are equal, writing out the rest of
// the two rows. Long lists are split around their middle key and the halves
// sorted on two cores.
#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "dirlist/dir_list.h"

namespace kestrel {

namespace {

constexpr std::array<int, 8> kGaps{1500, 1000, 600, 300, 100, 75, 50, 25};
constexpr int kZeroAwareGap = 25;
constexpr std::size_t kNameWidth = 37;

enum class Test { Text, SizeZeroAware };

unsigned char lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Byte `i` of the lower-case name column (the name cut or padded to 37).
unsigned char nameColumnByte(std::string_view name, std::size_t i) {
    return i < name.size() ? lower(name[i]) : static_cast<unsigned char>(' ');
}

// Bytes from..from+7 of the lower-case name column as a big-endian number.
std::uint64_t nameBytes(std::string_view name, std::size_t from) {
    std::uint64_t bytes = 0;
    for (std::size_t i = from; i < from + 8; ++i) bytes = bytes << 8 | nameColumnByte(name, i);
    return bytes;
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
    const std::string_view na = list.nameOf(a), nb = list.nameOf(b);
    for (std::size_t i = 0; i < kNameWidth; ++i) {
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
            case Test::SizeZeroAware:
                if (a.size == 0 && b.size == 0) return compareRows(list, a, b) > 0;
                return a.size < b.size;
            case Test::Text: break;
        }
        if (mode == SortMode::Type) {
            // Columns 39 to 43 lead: " dir " before "file ".
            const bool dirA = a.flags & EntryRecord::kIsDir, dirB = b.flags & EntryRecord::kIsDir;
            if (dirA != dirB) return dirB;
        } else if (mode == SortMode::Date && a.dateKey() != b.dateKey()) {
            return a.dateKey() > b.dateKey();
        }
        return compareRows(list, a, b) > 0;
    }
};

// Keys order exactly as the row test wherever they differ; equal keys leave
// it to the test, and rows the test finds equal to their places.
struct SortKey {
    std::uint64_t major;
    std::uint32_t minor;
    std::uint32_t place;  // the row's index in the order before this sort
};

SortKey keyOf(const DirList& list, const EntryRecord& r, std::uint32_t place, SortMode mode) {
    const std::string_view name = list.nameOf(r);
    const std::uint64_t first = nameBytes(name, 0);
    switch (mode) {
        case SortMode::Size: {  // larger first; then the empty entries by their text; equal sizes stay as they are
            constexpr std::uint64_t kLargest = ~std::uint64_t{0} >> 1;  // sizes beyond tie here and are told apart by the test
            const std::uint64_t size = r.size;  // a copy: the packed record's field may sit on any 4-byte boundary
            if (size != 0) return {kLargest - std::min(size, kLargest), 0, place};
            return {std::uint64_t{1} << 63 | first >> 1,
                    static_cast<std::uint32_t>((first & 1) << 31 | nameBytes(name, 8) >> 33), place};
        }
        case SortMode::Date:  // the 34-bit date key (the unknown date the largest), then 62 bits of the name column
            return {std::uint64_t{r.storedDate} << 30 | first >> 34, static_cast<std::uint32_t>(first >> 2), place};
        case SortMode::Type: {  // directories first, then the name column
            const std::uint64_t file = (r.flags & EntryRecord::kIsDir) ? 0 : 1;
            return {file << 63 | first >> 1, static_cast<std::uint32_t>((first & 1) << 31 | nameBytes(name, 8) >> 33),
                    place};
        }
        case SortMode::Name: break;
    }
    return {first, static_cast<std::uint32_t>(nameBytes(name, 8) >> 32), place};
}

SortMode modeFromSetting(int setting) {
    if (setting >= 2 && setting <= 4) return static_cast<SortMode>(setting);
    return SortMode::Name;
}

// Byte d of a key's leading fields, from the most significant: 0..7 the major, 8..11 the minor.
unsigned keyByte(const SortKey& k, int d) {
    return d < 8 ? static_cast<unsigned>(k.major >> (56 - 8 * d)) & 255u : (k.minor >> (24 - 8 * (d - 8))) & 255u;
}
constexpr int kKeyBytes = 12;
constexpr std::size_t kFewKeys = 32;  // below this a comparison sort is quicker than another byte

// Sorts [first, last), whose keys agree on their first d bytes, by the rest:
// a radix sort in place, byte by byte from the most significant, moving the
// keys of each byte value into their own bucket. A bucket of few keys, or of
// keys equal in all their bytes, is ordered by `less`, which knows the rest.
// With `buckets`, the buckets of the first byte that tells keys apart are
// handed to it instead of being sorted here.
template <typename Less, typename Buckets>
void radixSort(SortKey* first, SortKey* last, int d, const Less& less, Buckets* buckets) {
    for (;;) {
        const auto n = static_cast<std::size_t>(last - first);
        if (n < kFewKeys || d == kKeyBytes) {
            std::sort(first, last, less);
            return;
        }
        std::size_t count[256] = {};
        for (const SortKey* k = first; k != last; ++k) ++count[keyByte(*k, d)];
        if (count[keyByte(*first, d)] == n) {  // all alike here: the next byte
            ++d;
            continue;
        }
        std::size_t next[256], end[256];
        for (std::size_t b = 0, at = 0; b < 256; ++b) {
            next[b] = at;
            at += count[b];
            end[b] = at;
        }
        for (unsigned b = 0; b < 256; ++b)
            while (next[b] < end[b]) {
                SortKey& k = first[next[b]];
                const unsigned kb = keyByte(k, d);
                if (kb == b)
                    ++next[b];
                else
                    std::swap(k, first[next[kb]++]);
            }
        for (std::size_t b = 0, at = 0; b < 256; at += count[b], ++b) {
            if (count[b] < 2) continue;
            if (buckets)
                buckets->push_back({first + at, first + at + count[b], d + 1});
            else
                radixSort(first + at, first + at + count[b], d + 1, less, buckets);
        }
        return;
    }
}

struct Bucket {
    SortKey *first, *last;
    int byte;
};

class KeyedSort {
  public:
    KeyedSort(DirList& list, SortMode mode, const OutOfOrder& test)
        : list_(list), records_(list.records()), place_(list.order()), mode_(mode), test_(test) {}

    // Sorts rows 2..n+1 (place_[0..n-1]); returns false, leaving the order as
    // it was, when two rows the test finds equal would end side by side and
    // `tiesMatter`.
    bool sort(std::size_t n, bool twoCores, bool tiesMatter) {
        keys_.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            keys_[i] = keyOf(list_, records_[place_[i]], static_cast<std::uint32_t>(i), mode_);
        auto less = [this](const SortKey& a, const SortKey& b) {
            if (a.major != b.major) return a.major < b.major;
            if (a.minor != b.minor) return a.minor < b.minor;
            const EntryRecord &ra = records_[place_[a.place]], &rb = records_[place_[b.place]];
            if (test_(rb, ra)) return true;
            if (test_(ra, rb)) return false;
            return a.place < b.place;
        };
        std::vector<Bucket>* none = nullptr;
        if (twoCores) {
            // The first byte that tells keys apart splits them into buckets, which two cores then take in turn.
            std::vector<Bucket> buckets;
            radixSort(keys_.data(), keys_.data() + n, 0, less, &buckets);
            std::atomic<std::size_t> taken{0};
            auto work = [&] {
                for (std::size_t b; (b = taken.fetch_add(1)) < buckets.size();)
                    radixSort(buckets[b].first, buckets[b].last, buckets[b].byte, less, none);
            };
            std::thread helper(work);
            work();
            helper.join();
        } else {
            radixSort(keys_.data(), keys_.data() + n, 0, less, none);
        }
        if (tiesMatter)
            for (std::size_t i = 1; i < n; ++i) {
                const SortKey &a = keys_[i - 1], &b = keys_[i];
                if (a.major == b.major && a.minor == b.minor &&
                    !test_(records_[place_[b.place]], records_[place_[a.place]]))
                    return false;
            }
        for (SortKey& k : keys_) k.major = place_[k.place];  // the keys' room holds the new order a moment
        for (std::size_t i = 0; i < n; ++i) place_[i] = static_cast<std::uint32_t>(keys_[i].major);
        return true;
    }

  private:
    DirList& list_;
    const PodArray<EntryRecord>& records_;
    PodArray<std::uint32_t>& place_;
    SortMode mode_;
    const OutOfOrder& test_;
    std::vector<SortKey> keys_;
};

// Size mode's gap passes compare sizes only (the last one, zero sizes by their
// text): they walk a copy of the sizes in row order, moved with the rows, not
// records scattered over memory.
void sizeGapPasses(const DirList& list, PodArray<std::uint32_t>& place, std::size_t rows, const OutOfOrder& zeroAware) {
    const PodArray<EntryRecord>& records = list.records();
    std::vector<std::uint64_t> sizes(rows);
    for (std::size_t i = 0; i < rows; ++i) sizes[i] = records[place[i]].size;
    auto pass = [&](std::size_t gap, bool lastPass) {
        for (std::size_t i = 0; i + gap < rows; ++i) {
            const std::uint64_t a = sizes[i], b = sizes[i + gap];
            const bool out =
                (lastPass && a == 0 && b == 0) ? zeroAware(records[place[i]], records[place[i + gap]]) : a < b;
            if (out) {
                std::swap(sizes[i], sizes[i + gap]);
                std::swap(place[i], place[i + gap]);
            }
        }
    };
    for (int gap : kGaps) pass(static_cast<std::size_t>(gap), false);
    pass(static_cast<std::size_t>(kZeroAwareGap), true);
}

}  // namespace

void sortList(DirList& list, int setting, std::size_t keyedFrom) {
    PodArray<std::uint32_t>& place = list.order();  // place[p - 2] = the record in row p
    const int n = std::min(list.count, static_cast<int>(place.size()) + 1);
    if (n < 3) return;  // at most one row below the parent: nothing to order
    const SortMode mode = modeFromSetting(setting);
    const PodArray<EntryRecord>& records = list.records();
    const OutOfOrder gapTest{list, mode, Test::Text};
    const OutOfOrder finalTest{list, mode, mode == SortMode::Size ? Test::SizeZeroAware : Test::Text};

    // Rows are numbered as on screen: row p is place[p - 2].
    auto at = [&](int p) -> std::uint32_t& { return place[static_cast<std::size_t>(p - 2)]; };
    auto gapPasses = [&] {
        if (mode == SortMode::Size) return sizeGapPasses(list, place, static_cast<std::size_t>(n - 1), finalTest);
        for (int gap : kGaps)
            if (n > gap)
                for (int i = 2; i <= n - gap; ++i)
                    if (gapTest(records[at(i)], records[at(i + gap)])) std::swap(at(i), at(i + gap));
    };

    // "b out of order before a" is a strict weak ordering in every mode (text
    // order; size descending with zero sizes ordered by text), so this is the
    // order the repeated adjacent exchanges would settle on.
    const auto rows = static_cast<std::size_t>(n - 1);
    const bool twoCores = rows >= keyedFrom && std::thread::hardware_concurrency() >= 2;
    KeyedSort keyed(list, mode, finalTest);
    if (mode == SortMode::Size || !keyed.sort(rows, twoCores, true)) {
        gapPasses();
        keyed.sort(rows, twoCores, false);
    }
    list.forgetShownRows();
}

}  // namespace kestrel
