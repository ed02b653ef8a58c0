#pragma once
// Valid file names that break out of an unquoted shell line; those that would run something create CANARY where it stands.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace kestrel::test {

inline constexpr const char* kCanary = "CANARY";

inline std::string longHostileName() {
    std::string name;
    while (name.size() < 255) name += "a'b\"c $(touch CANARY);`touch CANARY`|";
    return name.substr(0, 255);  // the longest name most file systems allow
}

inline const std::vector<std::string>& hostileNames() {
    static const std::vector<std::string> names = {
        "my file.txt", "  two  blanks  ", "tab\there", "it's", "say \"hi\"", "'", "\"", "''", "$(touch CANARY)",
        "`touch CANARY`", "x;touch CANARY", "x&&touch CANARY", "x&touch CANARY", "x|touch CANARY", "x\ntouch CANARY",
        "\n", "*", "?", "[a-z]", "back\\slash", "\\", "-rf", "-", "--", "-n x", "$HOME", "${IFS}", "~", "~root", "!",
        "#hash", "{a,b}", ">out", "<in", "(paren)", "a=b", "caf\xe9", "\xff\xfe\x80", "\xc3\x28 broken",  // Latin-1, never UTF-8, a cut sequence
        longHostileName(),
    };
    return names;
}

inline std::set<std::string> entryNames(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace kestrel::test
