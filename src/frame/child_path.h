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

// The directory part of a path ("." when it has none, "/" for a child of
// the root) and its last component.
inline std::string parentPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
inline std::string lastComponent(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kestrel
