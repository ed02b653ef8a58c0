#pragma once
// I in the browser: facts about the entry under the cursor and about the
// machine, gathered by the standard utilities into "identify.txt" beside the
// executable and shown in the viewer as text.
#include <string>
#include <vector>

#include "frame/app_state.h"

namespace kestrel {

// The 22 shell lines in the order they run: a heading by echo, then one
// utility's output. The first line empties the report, the others append.
// The target and the report path are quoted words, so they reach file and
// stat as one argument each and the shell interprets nothing in them.
std::vector<std::string> reportLines(const std::string& target, const std::string& reportPath);

// Writes the report on the cursor entry and opens it in the viewer. A
// utility that is missing or fails leaves its section empty; the next
// line runs all the same.
Next infoReport(App& app);

}  // namespace kestrel
