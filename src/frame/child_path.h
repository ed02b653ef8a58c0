#pragma once
#include <string>

#include "dirlist/dir_list.h"

namespace kestrel {

// The path the Select step makes of the Selected path and the cursor entry:
// the parent goes up one level, anything else goes into the entry.
std::string selectedChildPath(const std::string& selected, const std::string& entryName, bool isParent);

// The full path of list entry `index` in the directory the list was loaded
// from: what the Copy/Kill Buffer knows a pick by.
inline std::string listedEntryPath(const DirList& list, int index) {
    return selectedChildPath(list.directory, list.name(index), false);
}

}  // namespace kestrel
