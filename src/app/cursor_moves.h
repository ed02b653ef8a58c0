#pragma once
// Moving the cursor over the listing; each move ends in the cursor step and
// returns to polling.
#include "frame/app_state.h"

namespace kestrel {

Next moveHome(App& app);
Next moveDown(App& app);  // callers have tested Cursor index < Last index
Next moveUp(App& app);
Next moveEnd(App& app);
Next clickMove(App& app, int panelRow);
Next sliderJump(App& app, int screenRow);
// The cursor step: highlight and the redraws that follow every move.
Next cursorStep(App& app);

}  // namespace kestrel
