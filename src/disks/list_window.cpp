#include "disks/list_window.h"

namespace kestrel {

namespace {

// The cursor on line 9 of a new window, or on its own line when fewer than
// eight rows stand above it.
ListWindow centred(int index) { return {index, index - 8 < 1 ? index : 9}; }

}  // namespace

ListWindow windowDown(ListWindow w, int count) {
    if (w.index >= count) return w;
    if (w.line >= 18 && w.index + 1 < count) return centred(w.index + 1);
    // The last row below the bottom line scrolls into view.
    if (w.line >= kWindowLines) return {w.index + 1, kWindowLines};
    return {w.index + 1, w.line + 1};
}

ListWindow windowUp(ListWindow w) {
    if (w.index <= 1) return w;
    if (w.index == 2 && w.line == 2) return {1, 1};
    if (w.line <= 2) return centred(w.index - 1);
    return {w.index - 1, w.line - 1};
}

ListWindow windowHome() { return {1, 1}; }

ListWindow windowEnd(ListWindow w, int count) {
    if (count < 1) return w;
    if (count >= 10) return {count, 10};
    return {count, count - w.first() + 1};
}

ListWindow windowClick(ListWindow w, int count, int line) {
    const int index = w.first() + line - 1;
    if (line < 1 || line > kWindowLines || line == w.line || index > count) return w;
    return {index, line};
}

}  // namespace kestrel
