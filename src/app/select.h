#pragma once
#include "frame/app_state.h"

namespace kestrel {

// The common step of Tab, Enter, the right button, the Select button and
// every pending command.
Next selectEntry(App& app);

}  // namespace kestrel
