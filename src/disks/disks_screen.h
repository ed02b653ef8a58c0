#pragma once
// The disks and partitions screen: lists the machine's "sd" and "hd" disks
// and partitions from lsblk and df -h, mounts a partition under /mnt,
// unmounts it, or hands a mounted one to the browser through the Start path
// and the Start-path request.
#include "frame/app_state.h"

namespace kestrel {

// Runs the screen until the person leaves it. On return the Start-path
// request is set only when a partition was chosen to view; drawing is back
// on page 0. The calculator panel is opened through `openCalculator`, which
// the main loop hands down, so that this screen does not reach sideways into
// the calculator's folder.
void runDisksScreen(App& app, void (*openCalculator)(App&));

}  // namespace kestrel
