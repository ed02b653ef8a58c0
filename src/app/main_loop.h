#pragma once
#include "frame/app_state.h"

namespace kestrel {

// The browser's loop from the first Reload to Save and exit; returns the
// process's exit status.
int mainLoop(App& app);

Next reload(App& app);
// One poll cycle: window drag, key, or a pass over the mouse.
Next pollCycle(App& app);
Next mousePass(App& app);

}  // namespace kestrel
