#include "frame/drive_prompt.h"

#include "frame/dialog.h"

namespace kestrel {

namespace {

constexpr HitArea kCloseArea{1, 72, 80, HitArea::Unit::Columns};
constexpr int kBlinkEveryMs = 500, kCursorShownMs = 200, kCursorHiddenMs = 20, kCloseMs = 200;
// Between blinks a pass would otherwise not sleep at all.
constexpr int kPassMs = 10;

void printPrompt(App& app, const char* text) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.locate(29, 2);
    s.print(text);
}

}  // namespace

Next drivePrompt(App& app) {
    Screen& s = app.screen;
    for (;;) {
        if (const MouseState m = s.pollMouse(); m.valid) {
            app.lastWheel = m.wheel;
            app.kept = m;
            if ((m.buttons & 3) && kCloseArea.holds(m.x, m.y)) {
                s.sleep(kCloseMs);
                return Next::Reload;
            }
        }
        if (s.nowMs() > app.blinkDeadlineMs) {
            app.blinkDeadlineMs = s.nowMs() + kBlinkEveryMs;
            printPrompt(app, " Drive > _");
            s.sleep(kCursorShownMs);
            printPrompt(app, " Drive >  ");
            s.sleep(kCursorHiddenMs);
        }
        if (s.pollKey().isChar(ch::Esc)) return Next::Reload;
        s.sleep(kPassMs);
    }
}

}  // namespace kestrel
