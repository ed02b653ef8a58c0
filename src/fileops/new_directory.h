#pragma once
// "/" in the browser: a new subdirectory of the listed directory.
#include "frame/app_state.h"

namespace kestrel {

// Asks for the name on the browser screen and makes the directory with mode
// 775 (the umask applies). The listing is reloaded either way, so a new
// directory shows up and a failure shows as its absence.
Next newDirectory(App& app);

}  // namespace kestrel
