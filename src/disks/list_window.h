#pragma once
// The disks screen's cursor over its 19-line window (text rows 5 to 23).
// Pure: every move gives the new cursor row and the window line it stands on;
// the window shows rows first() to first() + 18. The cursor never leaves the
// window, and no move names a row outside 1 to count.
namespace kestrel {

constexpr int kWindowLines = 19;

struct ListWindow {
    int index = 1;  // the cursor's device row, from 1
    int line = 1;   // its window line, 1 to 19
    int first() const { return index - line + 1; }
    bool operator==(const ListWindow&) const = default;
};

ListWindow windowDown(ListWindow w, int count);
ListWindow windowUp(ListWindow w);
ListWindow windowHome();
ListWindow windowEnd(ListWindow w, int count);
// The cursor on the row shown on `line`; unchanged for its own line, a line
// outside the window or one with no row.
ListWindow windowClick(ListWindow w, int count, int line);

}  // namespace kestrel
