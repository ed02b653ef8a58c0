#pragma once
// Finding the next entry whose name column holds the search text.
#include <string>

#include "dirlist/dir_list.h"

namespace kestrel {

enum class SearchRule { Find, Next };

// Runs one search from `position` (the row of the last match; Find starts
// over at the top). Returns the matching row, or 0 when the list ran out, in
// which case `position` is back at 1. Only the 37-character name column is
// searched, letters compared without case.
int searchEntries(const DirList& list, const std::string& text, bool startOnly, SearchRule rule, int& position);

}  // namespace kestrel
