#pragma once
// F in the browser: renaming the entry under the cursor with mv.
#include <string>

#include "frame/app_state.h"

namespace kestrel {

// The shell line that renames `fullPath` to `newName` in the working
// directory: "mv " + path + " " + name for ordinary paths. Both are quoted
// words, so a name can never be read as an option ("-t.." becomes
// "./-t..") or as a pattern.
std::string renameLine(const std::string& fullPath, const std::string& newName);

// Whether anything at all is already called `name` in `directory`: a file,
// a directory, a link (dangling or not), "." or "..". mv would replace the
// first, move the entry into a directory, and so lose or hide an entry.
bool nameTaken(const std::string& directory, const std::string& name);

// The rename dialog for the entry named by the Selected path; the Saved
// directory path holds its directory. Yes or Enter with a new name renames
// the entry unless the name is taken; No or Esc leaves it alone. Either way
// the browser lists the directory again.
Next renameEntry(App& app);

}  // namespace kestrel
