#include "frame/window_drag.h"

#include <cstdlib>

namespace kestrel {

void dragWindow(App& app) {
    Screen& s = app.screen;
    for (;;) {
        const MouseState first = s.peekMouse();
        s.sleep(10);
        if (!first.left()) return;
        const MouseState second = s.peekMouse();
        int dx = second.valid ? second.x - first.x : 0;
        int dy = second.valid ? second.y - first.y : 0;
        if (std::abs(dx) > 100) dx = 0;
        if (std::abs(dy) > 100) dy = 0;
        const Cell c = first.cell();
        if (!(c.row == 1 && c.col > 13 && c.col < 70)) return;
        Point at = s.windowPosition();
        at.x += dx;
        at.y += dy;
        s.setWindowPosition(at);
        app.draggedPosition = at;
        app.placement = Placement::Dragged;
        s.sleep(10);
        s.setMouse(first.x, first.y, true);
    }
}

}  // namespace kestrel
