#pragma once
#include <string>

namespace kestrel {

// Blanks (spaces only) removed from both ends, as the settings file and the
// root test read paths.
inline std::string trimSpaces(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace kestrel
