#pragma once
// Kestrel's historical sort, transcribed step for step (quadratic, and
// lowercasing inside every comparison). The fast sortList must give exactly
// the order this gives; the tests compare the two.
#include "dirlist/dir_list.h"

namespace kestrel::test {

void referenceSortList(DirList& list, int sortList);

}  // namespace kestrel::test
