#include "dirlist/name_search.h"

namespace kestrel {

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

}  // namespace

int searchEntries(const DirList& list, const std::string& text, bool startOnly, SearchRule rule, int& position) {
    if (rule == SearchRule::Find) position = 1;
    const std::string wanted = upper(text);
    std::string row;  // written per row and not kept: a search may pass every row of a huge list
    for (;;) {
        if (++position > list.count) {
            position = 1;
            return 0;
        }
        if (wanted.empty()) continue;
        list.rowInto(position, row);
        const std::string column = upper(row.substr(0, 37));
        const auto at = column.find(wanted);
        if (startOnly ? at == 0 : at != std::string::npos) return position;
    }
}

}  // namespace kestrel
