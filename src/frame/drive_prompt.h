#pragma once
#include "frame/app_state.h"

namespace kestrel {

// The prompt the ">" key opens on the browser's status row. It blinks until
// Esc or a press on the top bar's " Exit " or " X " (which here only close
// the prompt); every other key is passed over. The listing is then read again.
Next drivePrompt(App& app);

}  // namespace kestrel
