#pragma once
// The confirmation loop shared by the file commands' dialogs and the
// executable chooser. Each instance differs only in data: how long a pass
// sleeps, which targets a press is tested against and which keys answer.
#include <string>

#include "frame/dialog.h"

namespace kestrel {

enum class Confirmation { PasteAll, KillAll, KillFile, RemoveDirectory, ExecChooser };

// Polls the mouse and the keyboard until a target is pressed or a key
// answers. While the pointer is outside the window no key is read: typed
// keys stay queued until it comes back. A No or Cancel chosen by key is
// answered after a 50 ms pause; Options flips the options toggle.
// `byPress`, when given, tells whether the answer came from the mouse.
Answer confirm(App& app, Confirmation which, bool* byPress = nullptr);

// Opens the panel of paste-all or kill-all: the options toggle starts at 0
// (files only) every time.
void openFourButtonPanel(App& app);
// The command line centred on column 39 of row 27 and the four buttons.
void showFourButtonChoices(App& app, const std::string& commandLine, const char* bufferLabel);

// Where No and Esc lead: the Selected path goes back to the directory the
// command started from and the browser is shown again and reloaded.
Next cancelToBrowser(App& app);

}  // namespace kestrel
