#pragma once
// The three-way choice offered for an executable file: view it, run it, or
// go back to the browser.
#include <string>

#include "frame/app_state.h"

namespace kestrel {

enum class ExecChoice { View, Run, Cancel };

// Shows the chooser over the browser (page 2) and waits for a press on one
// of its labels or the key V, R, C or Esc (= Cancel). The screen is left as
// it is: the caller goes on to the viewer, runs the file, or cancels to the
// browser. `viewByMouse`, when given, tells whether View came from a press
// (the caller then skips the waiting text).
ExecChoice chooseExecutable(App& app, const std::string& path, bool* viewByMouse = nullptr);

}  // namespace kestrel
