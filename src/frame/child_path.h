#pragma once
#include <string>

namespace kestrel {

// The path the Select step makes of the Selected path and the cursor entry:
// the parent goes up one level, anything else goes into the entry.
std::string selectedChildPath(const std::string& selected, const std::string& entryName, bool isParent);

}  // namespace kestrel
