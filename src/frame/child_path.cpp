#include "frame/child_path.h"

namespace kestrel {

std::string selectedChildPath(const std::string& selected, const std::string& entryName, bool isParent) {
    std::string path;
    if (isParent) {
        const auto slash = selected.rfind('/');
        path = slash == std::string::npos ? std::string() : selected.substr(0, slash);
    } else {
        path = selected + "/" + entryName;
    }
    // The path is not trimmed: a name may end in blanks, and trimming would
    // enter another directory than the one picked.
    if (path.empty()) return "/";
    if (path.compare(0, 2, "//") == 0) path.erase(0, 1);
    return path;
}

}  // namespace kestrel
