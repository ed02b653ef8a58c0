#pragma once
#include "frame/app_state.h"

namespace kestrel {

// The help page: a static page of advice in the normal view with a BACK
// button. Closes on Esc, B or b, or a press inside BACK; the closing key is
// used up here, so the browser never sees it. On return page 0 is both the
// drawing and the visible page; the caller sets the browser up again.
void showHelp(App& app);

}  // namespace kestrel
