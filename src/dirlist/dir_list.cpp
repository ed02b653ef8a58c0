#include "dirlist/dir_list.h"

namespace kestrel {

namespace {
const std::string kEmpty;

const std::string& at(const std::vector<std::string>& v, int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= v.size()) return kEmpty;
    return v[static_cast<std::size_t>(i)];
}

// Columns 39..42 of a row, 1-based.
bool kindColumnsAre(const std::string& row, const char* four) {
    return row.size() >= 42 && row.compare(38, 4, four) == 0;
}
}  // namespace

const std::string& DirList::row(int i) const { return at(rowText, i); }
const std::string& DirList::name(int i) const { return at(names, i); }

bool isParentRow(const std::string& row) { return row.size() >= 2 && row[0] == '.' && row[1] == '.'; }
bool isDirRow(const std::string& row) { return kindColumnsAre(row, " dir"); }
bool isFileRow(const std::string& row) { return kindColumnsAre(row, "file"); }

}  // namespace kestrel
