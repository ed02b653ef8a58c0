// Sorting the Directory list. The order must be exactly the one Kestrel has
// always produced: a few single gap passes followed by adjacent exchanges
// repeated until nothing moves. Those adjacent exchanges only ever swap two
// rows that are out of order, never two that compare equal, so their end
// result is the stable sort of what the gap passes left; std::stable_sort gets
// there in O(N log N) instead of O(N^2).
#include <algorithm>
#include <array>
#include <numeric>

#include "dirlist/dir_list.h"

namespace kestrel {

namespace {

constexpr std::array<int, 8> kGaps{1500, 1000, 600, 300, 100, 75, 50, 25};
constexpr int kZeroAwareGap = 25;

enum class Test { Text, SizePlain, SizeZeroAware };

// Everything the comparisons need, computed once per row.
struct SortKey {
    std::string text;        // the compared text: lowercase row, behind the type or date columns where they lead
    std::uint64_t size = 0;  // the numeric value of the size text
};

std::string lowercase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The size text starts at column 49 and may run past column 58 when it is
// longer than ten digits; all of its digits count.
std::uint64_t rowSize(const std::string& row) {
    std::uint64_t size = 0;
    for (std::size_t i = 48; i < row.size() && row[i] >= '0' && row[i] <= '9'; ++i) {
        const std::uint64_t digit = static_cast<std::uint64_t>(row[i] - '0');
        if (size > (UINT64_MAX - digit) / 10) return UINT64_MAX;
        size = size * 10 + digit;
    }
    return size;
}

// The date is always the last 18 characters, wherever a long size put it.
std::string rowDate(const std::string& row) {
    constexpr std::size_t kDateWidth = 18;
    return row.size() <= kDateWidth ? row : row.substr(row.size() - kDateWidth);
}

std::string typeColumns(const std::string& row) { return row.size() > 38 ? row.substr(38, 5) : std::string(); }

SortKey makeKey(const std::string& row, SortMode mode) {
    SortKey key;
    switch (mode) {
        case SortMode::Type: key.text = typeColumns(row) + lowercase(row); break;
        case SortMode::Date: key.text = rowDate(row) + lowercase(row); break;
        case SortMode::Size: key.size = rowSize(row); key.text = lowercase(row); break;
        case SortMode::Name: key.text = lowercase(row); break;
    }
    return key;
}

// True when row a, placed before row b, is out of order.
bool outOfOrder(const SortKey& a, const SortKey& b, Test test) {
    switch (test) {
        case Test::SizePlain: return a.size < b.size;
        case Test::SizeZeroAware:
            if (a.size == 0 && b.size == 0) return a.text > b.text;
            return a.size < b.size;
        case Test::Text: break;
    }
    return a.text > b.text;
}

SortMode modeFromSetting(int setting) {
    if (setting >= 2 && setting <= 4) return static_cast<SortMode>(setting);
    return SortMode::Name;
}

}  // namespace

void sortList(DirList& list, int setting) {
    const int n = std::min<int>(list.count, static_cast<int>(std::min(list.rowText.size(), list.names.size())) - 1);
    if (n < 3) return;  // at most one row below the parent: nothing to order
    const SortMode mode = modeFromSetting(setting);
    const Test gapTest = mode == SortMode::Size ? Test::SizePlain : Test::Text;
    const Test finalTest = mode == SortMode::Size ? Test::SizeZeroAware : Test::Text;

    std::vector<SortKey> keys(static_cast<std::size_t>(n) + 1);
    for (int i = 2; i <= n; ++i) keys[i] = makeKey(list.rowText[i], mode);

    // place[p] = the original row now standing at position p.
    std::vector<int> place(static_cast<std::size_t>(n) + 1);
    std::iota(place.begin(), place.end(), 0);
    auto gapPass = [&](int gap, Test test) {
        for (int i = 2; i <= n - gap; ++i)
            if (outOfOrder(keys[place[i]], keys[place[i + gap]], test)) std::swap(place[i], place[i + gap]);
    };
    for (int gap : kGaps)
        if (n > gap) gapPass(gap, gapTest);
    if (mode == SortMode::Size && n > kZeroAwareGap) gapPass(kZeroAwareGap, Test::SizeZeroAware);

    // "b out of order before a" is a strict weak ordering in every mode (text
    // order; size descending with zero sizes ordered by text), so this is the
    // order the repeated adjacent exchanges would settle on.
    std::stable_sort(place.begin() + 2, place.end(),
                     [&](int a, int b) { return outOfOrder(keys[b], keys[a], finalTest); });

    std::vector<std::string> rows(static_cast<std::size_t>(n) + 1), names(static_cast<std::size_t>(n) + 1);
    for (int p = 2; p <= n; ++p) {
        rows[p] = std::move(list.rowText[place[p]]);
        names[p] = std::move(list.names[place[p]]);
    }
    for (int p = 2; p <= n; ++p) {
        list.rowText[p] = std::move(rows[p]);
        list.names[p] = std::move(names[p]);
    }
}

}  // namespace kestrel
