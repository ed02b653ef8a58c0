#pragma once
// A Directory list row as the screen shows it. The row text keeps the name's
// first 37 bytes (every rule that reads its columns works on bytes), but a
// person reads characters: the name column is drawn from the entry's whole
// name, decoded, in exactly 37 cells, and the rest of the row text follows it,
// so the kind, size and date columns stay aligned whatever the name's bytes.
#include <string_view>

#include "screen/screen.h"

namespace kestrel {

constexpr int kNameCells = 37;

// Whether `row` is the row text of an entry named `name`: its first 37 bytes
// are the name cut or padded to 37.
bool rowShowsName(std::string_view row, std::string_view name);

// Prints at most 78 cells of a row at the cursor; a row that is not the
// name's (another screen's row) is drawn as decoded text.
void printListRow(Screen& s, std::string_view name, std::string_view row);

}  // namespace kestrel
