#include "extern/programs.h"

namespace kestrel {
namespace {

// ASCII only: extensions are ASCII, and the result must not depend on the
// locale.
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithIgnoringCase(std::string_view path, std::string_view suffix) {
    if (suffix.size() > path.size()) return false;
    const std::string_view tail = path.substr(path.size() - suffix.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (lowerAscii(tail[i]) != suffix[i]) return false;
    }
    return true;
}

bool groupMatches(const ExtensionGroup& group, std::string_view path) {
    std::string_view rest = group.extensions;
    while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        const std::string_view extension = rest.substr(0, blank);
        if (endsWithIgnoringCase(path, extension)) return true;
        if (blank == std::string_view::npos) break;
        rest.remove_prefix(blank + 1);
    }
    return false;
}

}  // namespace

std::optional<ExtensionGroup> programFor(std::string_view path) {
    for (const ExtensionGroup& group : kExtensionGroups)
        if (groupMatches(group, path)) return group;
    return std::nullopt;
}

}  // namespace kestrel
