#include "frame/name_row.h"

#include <algorithm>

namespace kestrel {

namespace {
constexpr std::size_t kNameBytes = kNameCells;
constexpr int kRowCells = 78;
}  // namespace

bool rowShowsName(std::string_view row, std::string_view name) {
    if (row.size() < kNameBytes) return false;
    const std::string_view kept = name.substr(0, kNameBytes);
    return row.starts_with(kept) &&
           row.substr(kept.size(), kNameBytes - kept.size()).find_first_not_of(' ') == std::string_view::npos;
}

void printListRow(Screen& s, std::string_view name, std::string_view row) {
    if (!rowShowsName(row, name)) {
        s.printText(row, kRowCells);
        return;
    }
    s.printTextPadded(name, kNameCells);
    s.printText(row.substr(kNameBytes), kRowCells - kNameCells);
}

}  // namespace kestrel
