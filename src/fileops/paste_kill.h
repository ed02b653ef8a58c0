#pragma once
// Copy (C), paste (P), paste all (A), kill all (X), kill this file (K) and
// remove this directory (R). Each starts after the Select step: the
// Selected path names the entry, the Saved directory path the directory
// that holds it.
#include <optional>

#include "frame/app_state.h"

namespace kestrel {

// Carries out a pending file command of this file; nothing for the others.
std::optional<Next> runPendingFileCommand(App& app, Pending command);

Next makeCopySelection(App& app, bool directory);
Next paste(App& app);
Next pasteAll(App& app);
Next killAll(App& app);
Next killFile(App& app);
Next removeDirectory(App& app);

}  // namespace kestrel
