#include "app/cursor_moves.h"

#include "frame/browser_draw.h"
#include "screen/rounding.h"

namespace kestrel {

namespace {

void hidePointer(App& app) { app.screen.setMouse(std::nullopt, std::nullopt, false); }

void drawPageLocked(App& app, int first) {
    app.screen.lock();
    drawPage(app, first);
    app.screen.unlock();
}

// Puts the cursor entry on panel row 9 of a new page (or on its own row when
// the list starts less than nine entries above it).
void pageAroundCursor(App& app) {
    app.cursorRow = 9;
    int first = app.cursorIndex - 8;
    if (first < 1) {
        first = 1;
        app.cursorRow = app.cursorIndex;
    }
    drawPageLocked(app, first);
}

void printEntries(App& app, int from, int to) {
    app.screen.lock();
    clearPanel(app);
    for (int i = from; i <= to; ++i) drawRow(app, i, i - from + 1, false);
    app.screen.unlock();
}

}  // namespace

Next cursorStep(App& app) {
    drawCursorStep(app);
    return Next::Poll;
}

Next moveHome(App& app) {
    drawPageLocked(app, 1);
    app.cursorIndex = 1;
    app.cursorRow = 1;
    return cursorStep(app);
}

Next moveDown(App& app) {
    hidePointer(app);
    unhighlightCursorRow(app);
    if (app.cursorRow >= 18 && app.cursorIndex + 1 < app.lastIndex) {
        ++app.cursorIndex;
        pageAroundCursor(app);
    } else if (app.cursorRow >= kPanelRows) {
        // The last entry below the bottom panel row: scroll it into view
        // rather than put the cursor on the divider, where it cannot be seen.
        ++app.cursorIndex;
        printEntries(app, app.cursorIndex - kPanelRows + 1, app.cursorIndex);
        app.cursorRow = kPanelRows;
    } else {
        ++app.cursorIndex;
        ++app.cursorRow;
    }
    return cursorStep(app);
}

Next moveUp(App& app) {
    if (app.cursorIndex == 1) return Next::Poll;
    hidePointer(app);
    unhighlightCursorRow(app);
    if (app.cursorIndex == 2 && app.cursorRow == 2) {
        --app.cursorIndex;
        --app.cursorRow;
    } else if (app.cursorRow <= 2) {
        --app.cursorIndex;
        pageAroundCursor(app);
    } else {
        --app.cursorIndex;
        --app.cursorRow;
    }
    return cursorStep(app);
}

Next moveEnd(App& app) {
    if (app.lastIndex < 10) {
        unhighlightCursorRow(app);
        app.cursorIndex = app.cursorRow = app.lastIndex;
    } else {
        printEntries(app, app.lastIndex - 9, app.lastIndex);
        app.cursorIndex = app.lastIndex;
        app.cursorRow = 10;
    }
    return cursorStep(app);
}

Next clickMove(App& app, int panelRow) {
    const int d = panelRow - app.cursorRow;
    if (d == 0 || app.cursorIndex + d > app.lastIndex || app.cursorRow + d < 1) return Next::Poll;
    hidePointer(app);
    unhighlightCursorRow(app);
    app.cursorIndex += d;
    app.cursorRow += d;
    return cursorStep(app);
}

Next sliderJump(App& app, int screenRow) {
    const float t = static_cast<float>(app.list.count) * static_cast<float>(screenRow - 6) / 15.0f;
    const float nearEnd = static_cast<float>(app.lastIndex - 2);
    if (t > nearEnd) return moveEnd(app);
    if (app.lastIndex < 20) return moveHome(app);
    if (t == nearEnd) return moveEnd(app);
    printEntries(app, app.lastIndex - 18, app.lastIndex);
    app.cursorRow = 19;
    app.cursorIndex = roundEvenF(t);
    drawDivider(app);
    return moveDown(app);
}

}  // namespace kestrel
