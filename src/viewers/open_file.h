#pragma once
// Opening a file picked in the browser: an executable may be viewed or run;
// anything else goes to the program its extension names, if any, and then
// into the viewer.
#include <string>

#include "frame/app_state.h"
#include "frame/exec_chooser.h"

namespace kestrel {

// What `file` wrote about an extension-less path marks a program Kestrel
// offers to run: an ELF executable that is not position-independent.
bool describesExecutable(const std::string& fileReport);

// The shell line that runs `file` on `path` into the report file. Only the
// description is written (-b): with the name in front, a file merely named
// "ELF LSB executable" would pass for a program.
std::string fileTestLine(const std::string& path, const std::string& reportPath);
// The shell line that opens `path` with `program`.
std::string openWithLine(std::string_view program, const std::string& path);

using ExecutableChooser = ExecChoice (*)(App& app, const std::string& path, bool* viewByMouse);

// Opens the file named by the Selected path; the Saved directory path holds
// its directory. Returns where the browser goes next. An executable is
// offered to `choose`.
Next openFile(App& app, ExecutableChooser choose = chooseExecutable);

}  // namespace kestrel
