#include "dirlist_sort_reference.h"

#include <string>
#include <utility>

namespace kestrel::test {

namespace {

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

std::string dateOf(const std::string& row) { return row.substr(row.size() - 18, 18); }

bool outOfOrder(int mode, bool zeroAware, const std::string& ri, const std::string& rj) {
    switch (mode) {
        case 2: return ri.substr(38, 5) + lcase(ri) > rj.substr(38, 5) + lcase(rj);
        case 3:
            if (zeroAware && sizeOf(ri) == 0 && sizeOf(rj) == 0) return lcase(ri) > lcase(rj);
            return sizeOf(ri) < sizeOf(rj);
        case 4: return dateOf(ri) + lcase(ri) > dateOf(rj) + lcase(rj);
        default: return lcase(ri) > lcase(rj);
    }
}

void exchange(ReferenceList& list, int i, int j) {
    std::swap(list.rowText[i], list.rowText[j]);
    std::swap(list.names[i], list.names[j]);
}

}  // namespace

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

}  // namespace kestrel::test
