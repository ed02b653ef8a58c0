#pragma once
// The file viewer: the raw bytes of one file, page by page, on screen page 1.
#include "frame/app_state.h"

namespace kestrel {

// Shows the file named by the Selected path until Esc (or Enter) closes it;
// the Selected path then goes back to the Saved directory path and the
// browser lists it again.
Next runViewer(App& app);

}  // namespace kestrel
