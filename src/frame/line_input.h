#pragma once
// The one-line name input with its blinking underscore: the rename dialog's
// new name and the new-directory prompt of the browser.
#include <optional>
#include <string>

#include "frame/app_state.h"

namespace kestrel {

enum class LineInputKind { Rename, NewDirectory };

// The longest text an instance takes; further characters are ignored.
size_t lineInputMaximum(LineInputKind kind);

// Whether a typed character joins the text: codes 42 to 122 except those
// that would split or redirect a name ( , : ; \ / < > ? ).
bool acceptsNameCharacter(int c);

// Redraws the line that shows what the text will make: for a rename the
// entry's name " to " the text on row 26 of the panel, for a new directory
// the Selected path "/" the text on the browser's header row.
void drawLineInputEcho(App& app, LineInputKind kind, const std::string& subject, const std::string& text);

// Runs the prompt from an empty text until Enter (or, for a rename, a press
// on Yes) accepts a non-empty text, or Esc or the instance's cancel areas
// give it up. `subject` is what the echo shows before the text: the entry's
// name for a rename, the Selected path for a new directory.
std::optional<std::string> lineInput(App& app, LineInputKind kind, const std::string& subject);

}  // namespace kestrel
