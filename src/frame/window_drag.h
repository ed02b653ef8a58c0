#pragma once
// Moving the window by its top bar, which the browser and the disks screen share.
#include "frame/app_state.h"

namespace kestrel {

// While the left button holds the title part of the top bar, the window
// follows the pointer; a jump of over 100 pixels is ignored on its axis.
void dragWindow(App& app);

}  // namespace kestrel
