#pragma once
// The screens of the checks made before a paste or a kill: the question
// before a copy replaces existing names, the refusal of a copy into itself,
// and the message row naming what was left out.
#include <string>
#include <vector>

#include "frame/app_state.h"

namespace kestrel {

// A Yes/No panel over the browser: "Replace Existing Files ?" and the first
// clashing name with how many more there are. True on Yes.
bool askReplace(App& app, const std::vector<std::string>& clashes);

// The copy does not start: the browser is shown again with the reason on the
// message row, and the command ends in the main loop.
Next refuseCopy(App& app, const std::string& reason);

// After the command ran: says which picks were gone and which operands were
// on another file system, one message each, on the browser's message row.
void sayLeftOut(App& app, const std::vector<std::string>& vanished,
                const std::vector<std::string>& otherFileSystem = {});

}  // namespace kestrel
