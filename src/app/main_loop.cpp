#include "app/main_loop.h"

#include <cstdlib>

#include "app/commands.h"
#include "app/cursor_moves.h"
#include "app/select.h"
#include "app/search_mode.h"
#include "app/startup.h"
#include "frame/browser_draw.h"
#include "frame/window_drag.h"
#include "calc/calc_screen.h"
#include "screen/nav_widgets.h"

namespace kestrel {

namespace {

bool inCols(Cell c, int row, int first, int last) { return c.row == row && c.col >= first && c.col <= last; }

// The wheel moves the cursor one entry per cycle however far it turned.
std::optional<Next> handleWheel(App& app, const MouseState& m) {
    if (m.wheel < app.lastWheel) {
        app.lastWheel = m.wheel;
        if (app.cursorIndex < app.lastIndex) return moveDown(app);
    } else if (m.wheel > app.lastWheel) {
        app.lastWheel = m.wheel;
        if (app.cursorIndex > 1) return moveUp(app);
    }
    return std::nullopt;
}

// The scroll areas of the right button: the down arrow and the divider
// below the list, the up arrow and the header row above it.
std::optional<Next> scrollAreas(App& app, Cell c) {
    const bool downArea = (c.col == 80 && c.row >= 22 && c.row <= 23) || inCols(c, 24, 1, 79);
    const bool upArea = (c.col == 80 && c.row >= 5 && c.row <= 6) || inCols(c, 4, 1, 79);
    if (downArea && app.cursorIndex < app.lastIndex) return moveDown(app);
    if (upArea && app.cursorIndex > 1) return moveUp(app);
    return std::nullopt;
}

Next mousePassStage2(App& app) {
    Screen& s = app.screen;
    const MouseState m = s.pollMouse();
    if (!m.valid) return Next::Poll;
    if (auto moved = handleWheel(app, m)) return *moved;
    app.kept = m;
    app.leftFlag = m.buttons & 1;
    app.rightFlag = m.buttons & 2;
    if (!app.leftFlag && !app.rightFlag) return Next::Poll;
    if (app.leftFlag) s.sleep(20);
    const Cell c = m.cell();

    if (app.leftFlag && m.x > 524 && m.x < 536 && m.y > 549 && m.y < 561) {
        toggleStartOnly(app);
        return Next::Poll;
    }
    if (app.leftFlag) {
        const int square = padSquareAt(m.x, m.y, 0);
        if (square >= 0) {
            s.setWindowPosition(square == 0 ? app.startPosition : app.targets[square - 1]);
            app.placement = static_cast<Placement>(square);
        }
        constexpr struct { int first, last, mode; } kHeaderClicks[] = {{4, 7, 1}, {40, 43, 2}, {50, 53, 3}, {62, 65, 4}};
        for (const auto& h : kHeaderClicks)
            if (inCols(c, 4, h.first, h.last)) {
                app.SortList = h.mode;
                return Next::Reload;
            }
    }
    if (app.scrollPress.acts(m.buttons & 3, s.nowMs()))
        if (auto scrolled = scrollAreas(app, c)) return *scrolled;
    if (app.leftFlag && inCols(c, 32, 66, 79)) return runSearchMode(app);
    if (app.rightFlag && inCols(c, app.cursorRow + 4, 1, 79)) {
        if (holds(app, When::RootParent)) {
            showMessage(app, "No parent directories beyond /");
            return Next::Poll;
        }
        s.sleep(100);
        app.pending = Pending::None;
        return selectEntry(app);
    }
    if (app.leftFlag && c.row >= 5 && c.row <= 23 && c.col >= 1 && c.col <= 79) return clickMove(app, c.row - 4);
    if (app.rightFlag) app.leftFlag = true;
    if (auto command = commandForClick(app, c))
        if (auto next = act(app, *command)) return *next;
    s.sleep(30);
    return Next::Poll;
}

}  // namespace

Next mousePass(App& app) {
    Screen& s = app.screen;
    if (app.expanded()) drawClock(app);
    app.leftFlag = app.rightFlag = false;
    // Only the second stage's sample uses up a quick tap, so a tap between
    // two cycles reaches the stage that acts on it.
    const MouseState m = s.peekMouse();
    if (!m.valid) return Next::Poll;
    if (auto moved = handleWheel(app, m)) return *moved;
    app.leftFlag = app.kept.buttons & 1;
    app.rightFlag = app.kept.buttons & 2;
    if (app.leftFlag) s.sleep(40);
    app.kept = m;
    const Cell c = m.cell();
    drawStatusAndScrollBar(app);

    if (app.leftFlag && c.col == 80) {
        if (c.row == 7 && app.cursorIndex > 1) return moveHome(app);
        if (c.row == 21 && app.cursorIndex < app.lastIndex) return moveEnd(app);
        if (c.row >= 8 && c.row <= 20) return sliderJump(app, c.row);
    }
    if (app.expanded() && m.x > 640 && m.y < 470) runCalculator(app);
    if (!app.leftFlag && !app.rightFlag) s.sleep(20);
    s.setColors(0, app.backgroundColour);
    const bool moves = app.navPress.acts((app.leftFlag ? 1 : 0) | (app.rightFlag ? 2 : 0), s.nowMs());
    if (moves) {
        if (inCols(c, 29, 50, 51) && app.cursorIndex > 1) return moveUp(app);
        if (inCols(c, 29, 54, 57) && app.cursorIndex < app.lastIndex) return moveDown(app);
        if (inCols(c, 29, 60, 62)) return Next::Exit;
        if (inCols(c, 29, 65, 68) && app.cursorIndex > 1) return moveHome(app);
        if (inCols(c, 29, 71, 73) && app.cursorIndex < app.lastIndex) return moveEnd(app);
    }
    if (app.rightFlag && moves)
        if (auto scrolled = scrollAreas(app, c)) return *scrolled;
    return mousePassStage2(app);
}

Next reload(App& app) {
    Screen& s = app.screen;
    // Only the information report shows its file with the text label.
    app.formatLabelText = false;
    drawFrame(app);
    s.sleep(20);
    loadDirectory(app.list, app.selectedPath, app.SortList, s.clock());
    app.activeScreen = 1;
    s.sleep(100);
    app.lastIndex = app.list.count;
    return moveHome(app);
}

namespace {

// An idle cycle redraws only the status row and the clock, with the same
// pixels until the clock's next second. Once a whole cycle has run after the
// last input (the cycle that takes input may return before the status row),
// the loop waits for input or that second rather than turning every 40 ms.
// A held button or a waiting key keeps it turning as before.
void restWhileIdle(App& app) {
    Screen& s = app.screen;
    const std::uint64_t changes = s.input().changes();
    app.quietCycles = changes == app.cycleChanges ? app.quietCycles + 1 : 0;
    const MouseState m = s.peekMouse();
    const bool held = m.valid && m.buttons != 0;
    if (app.quietCycles >= 2 && !app.leftFlag && !app.rightFlag && !held && !s.keyWaiting())
        s.waitForInput(changes, msUntilClockTick(app));
    app.cycleChanges = s.input().changes();
    if (app.cycleChanges != changes) app.quietCycles = 0;
}

}  // namespace

Next pollCycle(App& app) {
    Screen& s = app.screen;
    restWhileIdle(app);
    if (app.leftFlag) s.sleep(40);
    dragWindow(app);
    const Key key = s.pollKey();
    s.sleep(20);
    if (key.empty()) return mousePass(app);
    app.quietCycles = 0;
    if (auto command = commandForKey(app, key))
        if (auto next = act(app, *command)) return *next;
    return Next::Poll;
}

int mainLoop(App& app) {
    Next next = Next::Reload;
    for (;;) {
        if (next != Next::Poll) app.quietCycles = 0;
        switch (next) {
            case Next::Reload: next = reload(app); break;
            case Next::ApplyViewThenReload:
                if (!applyView(app)) return 1;
                next = Next::Reload;
                break;
            case Next::StartPathThenApplyView:
                startPathStep(app);
                next = Next::ApplyViewThenReload;
                break;
            case Next::Poll: next = pollCycle(app); break;
            case Next::Exit: saveSettings(app); return 0;
        }
    }
}

}  // namespace kestrel
