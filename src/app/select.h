#pragma once
#include "app/app_state.h"

namespace kestrel {

// The path the Select step makes of the Selected path and the cursor entry:
// the parent goes up one level, anything else goes into the entry.
std::string selectedChildPath(const std::string& selected, const std::string& entryName, bool isParent);

// The common step of Tab, Enter, the right button, the Select button and
// every pending command.
Next selectEntry(App& app);

}  // namespace kestrel
