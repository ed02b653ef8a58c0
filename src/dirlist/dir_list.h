#pragma once
// TEMPORARY stand-in until the directory loader lands.
#include <string>
#include <vector>

#include "screen/clock.h"

namespace kestrel {
struct DirList {
    std::vector<std::string> rowText;
    std::vector<std::string> names;
    int count = 1;
    const std::string& row(int i) const {
        static const std::string empty;
        return (i >= 0 && i < static_cast<int>(rowText.size())) ? rowText[i] : empty;
    }
    const std::string& name(int i) const {
        static const std::string empty;
        return (i >= 0 && i < static_cast<int>(names.size())) ? names[i] : empty;
    }
};
bool isParentRow(const std::string& row);
bool isDirRow(const std::string& row);
bool isFileRow(const std::string& row);
void loadDirectory(DirList& list, const std::string& path, int sortList, Clock& clock);
}  // namespace kestrel
