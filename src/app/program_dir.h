#pragma once
// The executable's directory, where Kestrel keeps its settings file and its
// reports. A system-wide install puts it where an ordinary user cannot write.
#include <optional>
#include <string>

namespace kestrel {

// The line Kestrel prints once on standard error when it cannot keep its
// files in `dir`; nothing when it can.
std::optional<std::string> unwritableDirNote(const std::string& dir);

}  // namespace kestrel
