#pragma once
// Kestrel's historical sort, transcribed step for step (quadratic, and
// lowercasing inside every comparison). The fast sortList must give exactly
// the order this gives; the tests compare the two.
#include <string>
#include <vector>

#include "dirlist/dir_list.h"

namespace kestrel::test {

// The list as the historical sort saw it: two plain arrays of texts.
struct ReferenceList {
    std::vector<std::string> rowText, names;
    int count = 1;
};

// Rows and names 0 to count + 19 of `list`, as its readers see them.
ReferenceList referenceOf(const DirList& list);

void referenceSortList(ReferenceList& list, int sortList);

}  // namespace kestrel::test
