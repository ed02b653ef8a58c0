#include "frame/dialog.h"

#include <algorithm>
#include <string>

#include "frame/browser_draw.h"

namespace kestrel {

namespace {

constexpr int kDialogPage = 2;
constexpr int kShownWidth = 78;


}  // namespace

void openDialogPanel(App& app, PanelDelay delay) {
    Screen& s = app.screen;
    if (delay == PanelDelay::Settle) s.sleep(50);
    s.copyPage(0, kDialogPage);
    s.sleep(20);
    s.setPages(kDialogPage, kDialogPage);
    s.fillBox(6, 375, 634, 470, 15);
    s.drawBox(6, 375, 634, 470, 0);
    s.setColors(1, 15);
}

int centredStart(int centre, size_t length) { return std::max(1, centredColumn(centre, length)); }

void printCentred(Screen& s, int row, int centre, std::string_view text) {
    s.locate(row, centredStart(centre, static_cast<size_t>(s.textCells(text))));
    s.printText(text, kShownWidth);
}

bool HitArea::holds(int x, int y) const {
    const Cell c = cellOf(x, y);
    if (c.row != row) return false;
    const int along = unit == Unit::Pixels ? x : c.col;
    return along >= first && along <= last;
}

void drawButton(Screen& s, const Button& b, const char* label) {
    s.fillBox(b.x1, b.y1, b.x2, b.y2, 1);
    s.drawBox(b.x1, b.y1, b.x2, b.y2, 1);
    s.setColors(15, 1);
    s.printAt(b.row, b.col, label ? label : b.label ? b.label : "");
    s.setColors(1, 15);
}

void drawYesNoButtons(Screen& s) {
    drawButton(s, kYesButton);
    drawButton(s, kNoButton);
}

void drawFourButtons(Screen& s, const char* bufferLabel) {
    drawYesNoButtons(s);
    drawButton(s, kOptionsButton);
    drawButton(s, kBufferButton, bufferLabel);
}

const Target* hitTarget(std::span<const Target> targets, int x, int y) {
    for (const Target& t : targets)
        if (t.area.holds(x, y)) return &t;
    return nullptr;
}

void printPathLine(App& app, const std::string& path) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.printAt(3, 2, std::string(kShownWidth, ' '));
    s.locate(3, centredColumn(40, std::min<size_t>(static_cast<size_t>(s.textCells(path)), kShownWidth)));
    s.printText(path, 77);
}

}  // namespace kestrel
