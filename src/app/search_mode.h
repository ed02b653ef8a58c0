#pragma once
#include "frame/app_state.h"

namespace kestrel {

// The browser's search mode: the search panel takes the keys and clicks
// until Esc, the "X", a click on the list, or no further match.
Next runSearchMode(App& app);
// Flips Start Only from outside the search mode.
void toggleStartOnly(App& app);
// Whether a search-field key is kept: codes 42 to 122 but for , : ; \ / < > ?
bool searchAccepts(int c);

}  // namespace kestrel
