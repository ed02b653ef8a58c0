#pragma once
// The palette entries and the background choice's colours that Apply view
// sets and the help page restores.
#include "frame/app_state.h"

namespace kestrel {

// The background and accent colours of the background choice BackGround.
void setColoursFromChoice(App& app);
// Apply view's palette entries and the colours of the background choice,
// which it wraps back to 0 past 3.
void setPaletteAndColours(App& app);

}  // namespace kestrel
