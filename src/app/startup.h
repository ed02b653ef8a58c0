#pragma once
#include "frame/app_state.h"

namespace kestrel {

// Start-up up to the first Reload: state, settings file, start path, Apply view.
void startUp(App& app);
// The start-path step: the Start path becomes the Selected path.
void startPathStep(App& app);
// Re-creates the window for the current view and background and places it.
// False when the window cannot be opened.
bool applyView(App& app);
// Writes the settings file; the caller then ends the process with status 0.
void saveSettings(App& app);

// Runs Kestrel from start-up to Save and exit; returns the exit status.
int runKestrel(App& app);

}  // namespace kestrel
