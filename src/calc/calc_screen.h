#pragma once
// The calculator panel of the expanded view (x 640 to 800, above y 470).
#include "frame/app_state.h"

namespace kestrel {

// Draws the whole panel on page 3 and copies it to page 0, with the lower
// panels of the active screen (app.activeScreen 1 browser, 2 disks), and
// leaves it without the focus. For Apply view. Does nothing in the normal view.
void drawCalculatorPanel(App& app);

// The calculator with the focus: draws the panel, then takes keys and presses
// until the pointer leaves the panel (left of x 640 or below y 470) or Esc is
// pressed. In the normal view it only marks itself inactive.
void runCalculator(App& app);

}  // namespace kestrel
