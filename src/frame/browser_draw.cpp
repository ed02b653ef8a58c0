#include "frame/browser_draw.h"
#include "frame/name_row.h"

#include <ctime>

#include "frame/child_path.h"
#include "screen/nav_widgets.h"
#include "screen/rounding.h"

namespace kestrel {

namespace {

struct LabelButton {
    int row;
    const char* hotKey;  // drawn 7 on 1; nullptr for a button without one
    int hotCol;
    const char* name;    // drawn 7 on 6
    int nameCol;
};

constexpr LabelButton kButtons[] = {
    {1, " TAB", 1, " Select ", 5},
    {1, nullptr, 0, " Exit ", 72},
    {25, " /", 3, " NewDir ", 5},
    {25, " M", 14, " More ", 16},
    {25, " I", 23, " Info ", 25},
    {25, " B", 32, " Background ", 34},
    {25, " R", 47, " RmDir ", 49},
    {25, " K", 57, " Kill File ", 59},
    {25, "F1", 71, " Help ", 73},
    {26, " C", 3, " Copy ", 5},
    {26, " A", 12, " Paste All ", 14},
    {26, " P", 26, " Paste ", 28},
    {26, " L", 36, " List ", 38},
    {26, " F", 45, " FileName ", 47},
    {26, " X", 58, " Kill All ", 60},
    {26, " H", 71, " root ", 73},
};

struct Header {
    const char* text;
    int col;
};

constexpr Header kHeaders[] = {{" Name ", 3}, {" Type ", 39}, {" Size ", 49}, {" Date ", 61}};

constexpr const char* kHelpLines[] = {
    "Mouse wheel to scrool up or down. Slider Bar for large moves.",
    "Mouse right button, Enter, or Tab to select directory or file.",
    "Mouse, RB fast scrool, LB slow scrool. F2 = Zip Buffer files.",
    "M = expanded view. @ = Center on screen. ? = Search files.",
    "I = file & sys info. B = background color. F3 = refresh Dir.",
    "Q = C/K Buffer. W = group C/K Buffer, must first use Q.",
};

struct PixelBox {
    int x1, y1, x2, y2;
};

constexpr PixelBox kOuterFrame[] = {
    {793, 2, 796, 597}, {2, 470, 5, 597}, {5, 593, 792, 596}, {5, 594, 792, 597}, {641, 2, 792, 6}, {641, 3, 792, 7},
};

constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};


void spaces(Screen& s, int row, int col, int n) { s.printAt(row, col, std::string(static_cast<size_t>(n), ' ')); }

void drawButtons(Screen& s) {
    for (const auto& b : kButtons) {
        if (b.hotKey) {
            s.setColors(7, 1);
            s.printAt(b.row, b.hotCol, b.hotKey);
        }
        s.setColors(7, 6);
        s.printAt(b.row, b.nameCol, b.name);
    }
    s.setColors(15, 4);
    s.printAt(1, 78, " X ");
}

void drawExpandedExtras(App& app) {
    Screen& s = app.screen;
    drawHelpLinesAndBanner(app);
    // Outlines: each overlapping pair then reads as a double line.
    for (const auto& b : kOuterFrame) s.drawBox(b.x1, b.y1, b.x2, b.y2, 1);
    // Wipe the panel before drawing it: the disks screen draws its window-position
    // pad in here, and a four-digit count (1001) reaches past what " 0 " covers.
    s.fillBox(641, 474, 792, 569, app.backgroundColour);
    drawBufferPanel(app, "Copy/Kill  Buffer");
    drawSearchPanel(app);
}

}  // namespace

void drawHelpLinesAndBanner(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.setColors(0, bg);
    for (int i = 0; i < 6; ++i) s.printAt(31 + i, 3, kHelpLines[i]);
    s.setColors(8, bg);
    s.printAt(37, 5, " Kestrel ");
    s.printAt(37, 19, " Tarnwick ");
}

int centredColumn(int centre, size_t length) { return roundEven(centre - static_cast<double>(length) / 2.0); }

void drawFrame(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.setMouse(320, 240, true);
    s.sleep(20);
    s.setPages(0, 0);
    s.lock();
    s.setColors(0, bg);
    s.setMouse(std::nullopt, std::nullopt, false);
    s.setColors(1, bg);
    for (int r = 1; r <= 30; ++r) spaces(s, r, 1, 80);
    drawDoubleFrame(s);
    s.setColors(7, 9);
    s.printAt(23, 80, "\x19");
    s.printAt(5, 80, "\x18");
    s.printAt(6, 80, " ");
    s.printAt(22, 80, " ");
    s.setColors(9, 7);
    spaces(s, 1, 1, 80);
    s.fillBox(7, 384, 633, 415, 7);
    drawButtons(s);
    for (int y : {384, 400, 415}) s.drawLine(7, y, 633, y, 0);
    s.setColors(9, 7);
    spaces(s, 1, 20, 40);
    s.printAt(1, 28, "Select Directory or File");
    s.drawLine(1, 16, 640, 16, 0);
    if (app.expanded()) drawExpandedExtras(app);
    s.setColors(0, bg);
    s.printAt(3, 32, "One Moment Please ...");
    s.unlock();
}

void drawPathLine(App& app) {
    Screen& s = app.screen;
    spaces(s, 3, 2, 78);
    const std::string& path = app.selectedPath;
    const size_t shown = static_cast<size_t>(std::min(s.textCells(path), 78));
    s.locate(3, centredColumn(40, shown));
    s.printText(path, 77);
}

void clearPanel(App& app) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    for (int r = 5; r <= 23; ++r) spaces(s, r, 2, 78);
    spaces(s, 3, 20, 45);
    spaces(s, 5, 20, 45);
    drawPathLine(app);
}

void drawRow(App& app, int index, int panelRow, bool highlighted) {
    Screen& s = app.screen;
    const std::string_view text = std::string_view(app.list.row(index)).substr(0, 78);
    const std::string& name = app.list.name(index);
    if (highlighted) {
        s.setColors(5, 9);
    } else {
        s.setColors(0, app.backgroundColour);
        // Drawn picked exactly when Kill Buffer would remove this file.
        if (!text.empty() && index >= 2 && index <= app.list.count && app.buffer.count > 0 &&
            app.buffer.holds(listedEntryPath(app.list, index))) {
            s.locate(panelRow + 4, 2);
            printListRow(s, name, text);
            s.setColors(15, 3);
        }
    }
    s.locate(panelRow + 4, 2);
    printListRow(s, name, text);
}

void drawPage(App& app, int firstIndex) {
    clearPanel(app);
    for (int p = 1; p <= kPanelRows; ++p) drawRow(app, firstIndex + p - 1, p, false);
}

void unhighlightCursorRow(App& app) { drawRow(app, app.cursorIndex, app.cursorRow, false); }

void drawHeaders(App& app) {
    Screen& s = app.screen;
    s.setColors(1, app.backgroundColour);
    for (const auto& h : kHeaders) s.printAt(4, h.col, h.text);
    if (app.SortList >= 1 && app.SortList <= 4) {
        const Header& h = kHeaders[app.SortList - 1];
        s.setColors(0, 3);
        s.printAt(4, h.col, h.text);
    }
}

void drawDivider(App& app) {
    app.screen.setColors(1, app.backgroundColour);
    app.screen.printAt(24, 2, kDoubleLine);
}

void drawCursorStep(App& app) {
    Screen& s = app.screen;
    drawRow(app, app.cursorIndex, app.cursorRow, true);
    s.setMouse(std::nullopt, std::nullopt, true);
    s.lock();
    s.setColors(0, app.backgroundColour);
    drawPad(s, app.backgroundColour, 0);
    drawHeaders(app);
    drawNavButtons(s, 29, 447, 464);
    drawDivider(app);
    s.unlock();
    s.sleep(40);
}

void drawClock(App& app) {
    drawClockFace(app);
    app.screen.sleep(20);
}

void drawClockFace(App& app) {
    Screen& s = app.screen;
    s.fillBox(670, 8, 765, 56, app.backgroundColour);
    const std::time_t now = s.clock().wallTime();
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    s.setColors(0, app.backgroundColour);
    std::strftime(text, sizeof text, "%I:%M:%S %p", &local);
    s.drawString(670, 12, text);
    std::strftime(text, sizeof text, "%m-%d-%Y", &local);
    s.drawString(675, 26, text);
    const std::string_view day = kWeekdays[local.tm_wday % 7];
    if (day.size() >= 6 && day.size() <= 9) s.drawString(691 - 4 * static_cast<int>(day.size() - 6), 40, day);
}

int msUntilClockTick(App& app) {
    if (!app.expanded()) return 1000;
    return 1001 - static_cast<int>(app.screen.clock().wallMs() % 1000);
}

void drawStatusAndScrollBar(App& app) {
    Screen& s = app.screen;
    if (app.expanded()) drawClock(app);
    const int n = app.list.count, i = app.cursorIndex;
    s.setColors(0, app.backgroundColour);
    s.locate(29, 3);
    s.print("Found");
    s.printNumber(n);
    s.print(" @");
    s.printNumber(i);
    s.print("     ");
    s.setColors(1, app.backgroundColour);
    for (int r = 7; r <= 21; ++r) s.printAt(r, 80, "\xBA");
    float t = 15.0f * (static_cast<float>(i) * (1.0f / static_cast<float>(n)));
    t = std::min(std::max(t, 1.0f), 15.0f);
    s.setColors(0, 3);
    s.printAt(i == 1 ? 7 : 6 + roundEvenF(t), 80, "=");
}

void drawBufferPanel(App& app, const char* title) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.printAt(31, 82, title);
    s.printAt(33, 83, "Clear  View ");
    s.printNumber(app.buffer.count);
    s.print(" ");
    s.drawBox(640, 473, 790, 570, 8);
    s.drawBox(652, 510, 697, 528, 1);
    s.drawBox(708, 510, 745, 528, 1);
    s.setColors(1, app.backgroundColour);
    s.drawString(645, 535, "Clear before kill");
    s.drawString(645, 550, "files are selected");
}

void drawStartOnlyBox(App& app) {
    Screen& s = app.screen;
    if (app.search.startOnly) {
        s.fillBox(525, 550, 535, 560, 1);
    } else {
        s.fillBox(525, 550, 535, 560, app.backgroundColour);
        s.drawBox(525, 550, 535, 560, 1);
    }
}

void drawSearchPanel(App& app) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.printAt(31, 70, "Search");
    s.drawBox(515, 473, 635, 570, 8);
    s.drawBox(520, 494, 630, 513, 8);
    s.setColors(1, app.backgroundColour);
    s.drawString(528, 522, "Find    Next");
    s.drawBox(524, 520, 562, 537, 1);
    s.drawBox(587, 520, 626, 537, 1);
    s.drawString(515, 548, "    Start Only");
    drawStartOnlyBox(app);
    s.setColors(0, app.backgroundColour);
}

void showMessage(App& app, const std::string& text, int blankWidth) {
    Screen& s = app.screen;
    s.setColors(4, app.backgroundColour);
    spaces(s, 27, 2, 75);
    s.locate(27, 2);
    s.printGlyphs(text);  // it may name a file: no byte of it moves the cursor
    s.sleep(2000);
    spaces(s, 27, 2, blankWidth);
    s.setColors(0, app.backgroundColour);
}

}  // namespace kestrel
