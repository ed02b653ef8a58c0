#pragma once
#include "app/app_state.h"

namespace kestrel {

// The browser's loop from the first Reload to Save and exit; returns the
// process's exit status.
int mainLoop(App& app);

Next reload(App& app);
// One poll cycle: window drag, key, or a pass over the mouse.
Next pollCycle(App& app);
Next mousePass(App& app);
// While the left button holds the title part of the top bar, the window
// follows the pointer; a jump of over 100 pixels is ignored on its axis.
void dragWindow(App& app);

}  // namespace kestrel
