#include "calc/calc_screen.h"

#include <algorithm>
#include <array>
#include <exception>

#include "frame/browser_draw.h"
#include "frame/outside_program.h"
#include "frame/text_file.h"
#include "calc/calc_keypad.h"
#include "disks/disks_draw.h"
#include "extern/programs.h"
#include "extern/quote.h"

namespace kestrel {

using namespace calc;

namespace {

constexpr Box kDisplayFrame{640, 62, 792, 107};
constexpr int kFrameActive = 14, kFrameInactive = 2;

struct Line {
    int x1, y1, x2, y2;
};

// The strokes that turn "/x", " x" and "x " into 1/x, a root sign and x2.
constexpr Line kLabelStrokes[] = {
    {702, 130, 702, 135},
    {739, 130, 735, 141}, {735, 139, 733, 135}, {739, 130, 746, 130},
    {776, 138, 781, 133}, {776, 138, 781, 138}, {778, 131, 777, 132}, {778, 131, 781, 132},
};

void hidePointer(Screen& s) { s.setMouse(std::nullopt, std::nullopt, false); }
void showPointer(Screen& s) { s.setMouse(std::nullopt, std::nullopt, true); }
void outline(Screen& s, const Box& b, int colour) { s.drawBox(b.x1, b.y1, b.x2, b.y2, colour); }

const PadKey& arcKey() {
    for (const auto& k : kPadKeys)
        if (k.command.act == Act::Arc) return k;
    return kPadKeys[0];
}

const PadKey* padKey(Op op, char c = 0) {
    for (const auto& k : kPadKeys)
        if (k.command.act == Act::Operation && k.command.op == op && k.command.c == c) return &k;
    return nullptr;
}

void boxKey(Screen& s, Op op, char c, int colour) {
    if (const PadKey* k = padKey(op, c)) outline(s, k->box, colour);
}

// Takes away the Arc and operator marks.
void unmarkKeys(Screen& s) {
    for (Op op : {Op::Sin, Op::Cos, Op::Tan}) boxKey(s, op, 0, 6);
    for (char c : {'-', '/', '+', '*'}) boxKey(s, Op::SetOp, c, 9);
}

bool buttonDown(const MouseState& m) { return m.valid && (m.buttons & 3); }

// Until the buttons are up; Esc ends the wait at once.
void waitForRelease(App& app) {
    Screen& s = app.screen;
    for (;;) {
        const MouseState m = s.pollMouse();
        if (!buttonDown(m)) return;
        s.sleep(10);
        if (s.pollKey().isChar(ch::Esc)) {
            app.calcPanel.pressSpent = true;
            return;
        }
    }
}

void displayRefresh(App& app) {
    Screen& s = app.screen;
    s.sleep(20);
    s.setColors(0, app.backgroundColour);
    s.drawString(640, 78, std::string(19, static_cast<char>(219)));
    s.setColors(7, app.backgroundColour);
    const std::string text = displayForm(app.calc);
    s.drawString(787 - 8 * static_cast<int>(text.size()), 78, text);
    outline(s, kDisplayFrame, kFrameActive);
}

void drawLowerPanels(App& app) {
    Screen& s = app.screen;
    if (app.activeScreen == 2) {
        drawDisksHelpLinesAndBanner(app);
        s.fillBox(640, 473, 790, 564, app.backgroundColour);
        return;
    }
    drawHelpLinesAndBanner(app);
    drawBufferPanel(app, "Copy/Kill  Buffer");
    drawSearchPanel(app);
}

void drawKeypad(App& app) {
    Screen& s = app.screen;
    s.setColors(15, app.backgroundColour);
    s.fillBox(641, 63, 791, 293, 0);
    s.drawBox(640, 62, 792, 294, 3);
    outline(s, kDisplayFrame, kFrameActive);
    for (const auto& k : kPadKeys) {
        s.drawString(k.labelX, k.labelY, k.label);
        outline(s, k.box, k.colour);
    }
    s.drawString(725, 259, "-");
    for (const auto& l : kLabelStrokes) s.drawLine(l.x1, l.y1, l.x2, l.y2, 7);
    for (int y : {115, 283}) s.drawLine(650, y, 779, y, app.accentColour);
    for (int y : {116, 284}) s.drawLine(650, y, 779, y, 8);
}

void drawPanelOnPage3(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.setPages(3, 0);
    s.sleep(10);
    s.copyPage(0, 3);
    s.sleep(10);
    s.lock();
    s.fillBox(640, 0, 800, 600, bg);
    s.fillBox(0, 480, 800, 600, bg);
    constexpr Box kWindowEdges[] = {{793, 2, 796, 597}, {2, 470, 5, 597}, {5, 593, 792, 596},
                                    {5, 594, 792, 597}, {641, 2, 792, 6},  {641, 3, 792, 7}};
    for (const auto& b : kWindowEdges) outline(s, b, 1);
    drawClockFace(app);
    s.sleep(10);
    s.setColors(0, bg);
    for (const auto& b : kPanelButtons) {
        s.drawString(b.labelX, b.labelY, b.label);
        outline(s, b.box, 1);
    }
    s.drawString(645, 304, " Calculator ");
    drawKeypad(app);
    drawLowerPanels(app);
    s.unlock();
    s.sleep(10);
    s.copyPage(3, 0);
    s.sleep(10);
    s.setPages(0, 0);
}

void drawEntry(App& app) {
    Screen& s = app.screen;
    app.calcPanel.active = true;
    app.calcPanel.shownLines = {std::string(1, '\0')};
    app.calcPanel.clockShown = -1;
    drawPanelOnPage3(app);
    if (!app.calc.memory.empty()) boxKey(s, Op::Store, 0, 15);
    showPointer(s);
    s.peekMouse();
    if (app.calc.pendingOp) boxKey(s, Op::SetOp, app.calc.pendingOp, 7);
    displayRefresh(app);
}

// The last six record lines, each cut to the 18 cells it has. Rows that
// would be drawn as they already are are left alone. The roll-over comes
// first, here at the start of a pass: the display has re-read the value by
// now, so the entry that the roll-over normalises is the one shown.
void drawRecordLines(App& app) {
    Screen& s = app.screen;
    rollOver(app.calc);
    const int n = app.calc.n, first = std::max(1, n - 5);
    std::array<std::string, 6> shown;
    for (int i = first; i <= n; ++i) shown[static_cast<size_t>(i - first)] = line(app.calc, i).substr(0, kLineLimit);
    if (shown == app.calcPanel.shownLines) return;
    s.setColors(0, app.backgroundColour);
    for (int r = 0; r < 6; ++r) {
        s.printAt(24 + r, 82, std::string(kLineLimit, ' '));
        s.printAt(24 + r, 82, shown[static_cast<size_t>(r)]);
    }
    app.calcPanel.shownLines = shown;
}

// The clock, redrawn when the second it shows has passed.
void drawClockIfDue(App& app) {
    const std::time_t now = app.screen.clock().wallTime();
    if (now == app.calcPanel.clockShown) return;
    drawClockFace(app);
    app.calcPanel.clockShown = now;
}

// The notice itself; also where the error trap leads.
void showError(App& app) {
    Screen& s = app.screen;
    hidePointer(s);
    s.setColors(4, app.backgroundColour);
    s.drawString(740, 303, " ERROR ");
    unmarkKeys(s);
    showPointer(s);
    s.sleep(2000);
    s.setColors(app.backgroundColour, app.backgroundColour);
    s.drawString(740, 303, " ERROR ");
    displayRefresh(app);
}

void errorNotice(App& app) {
    Screen& s = app.screen;
    while (buttonDown(s.pollMouse())) s.sleep(20);
    showError(app);
}

void viewRecord(App& app) {
    Screen& s = app.screen;
    const std::string path = app.exeDir + "/CalcBuffer.txt";
    std::string text;
    for (int i = 1; i <= app.calc.n; ++i)
        if (!line(app.calc, i).empty()) text += line(app.calc, i) + '\n';
    const bool fresh = writeFreshTextFile(path, text);
    s.sleep(20);
    s.sleep(40);
    s.setMouse(700, 284, true);
    s.sleep(500);
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, std::string(78, ' '));
    s.printAt(28, 2, std::string(75, ' '));
    s.setColors(1, app.backgroundColour);
    s.printAt(27, 50, "Waiting for program to close.");
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, "defaulttexteditor ");
    s.locate(28, 2);
    s.printText(path, 78);
    s.flush();  // the editor blocks the loop: shown only if presented now
    // A record that could not be written nor cleared is someone else's.
    if (fresh) runShellLine(app, commandLine({Arg::literal(kTextEditor), Arg::word(path)}));
    s.printAt(27, 50, std::string(29, ' '));
    s.sleep(200);
    waitForRelease(app);
    displayRefresh(app);
}

void finishNormalise(App& app) {
    Screen& s = app.screen;
    hidePointer(s);
    unmarkKeys(s);
    showPointer(s);
    normalise(app.calc);
    waitForRelease(app);
    displayRefresh(app);
}

// The screen side of an operation's ending.
void carryOut(App& app, Op op, char c) {
    Screen& s = app.screen;
    const Ending ending = apply(app.calc, op, c);
    switch (ending) {
        case Ending::Ignored: return;
        case Ending::Error: errorNotice(app); return;
        case Ending::Normalise: finishNormalise(app); return;
        case Ending::Stored:
            hidePointer(s);
            boxKey(s, Op::Store, 0, 15);
            showPointer(s);
            s.sleep(200);
            return;
        case Ending::Poll:
            hidePointer(s);
            boxKey(s, Op::SetOp, c, 7);
            showPointer(s);
            waitForRelease(app);
            return;
        case Ending::DisplayRefresh:
            if (op == Op::Recall) s.sleep(200);
            if (op == Op::Recall || op == Op::Pi) waitForRelease(app);
            displayRefresh(app);
            return;
    }
}

// Marks Sin, Cos and Tan and waits for the press that says which arc, or
// none. The loop reads only the mouse; it pauses a few milliseconds per turn
// so that waiting for a choice does not take a whole core.
void arcSelection(App& app) {
    Screen& s = app.screen;
    waitForRelease(app);
    hidePointer(s);
    for (Op op : {Op::Sin, Op::Cos, Op::Tan}) boxKey(s, op, 0, 7);
    showPointer(s);
    constexpr struct { Op on, arc; } kArcs[] = {{Op::Sin, Op::ArcSin}, {Op::Cos, Op::ArcCos}, {Op::Tan, Op::ArcTan}};
    for (;;) {
        s.sleep(5);
        const MouseState m = s.pollMouse();
        if (!buttonDown(m)) app.calcPanel.pressSpent = false;
        if (!buttonDown(m) || app.calcPanel.pressSpent) continue;
        if (kArcCancelArea.holdsStrictly(m.x, m.y) || arcKey().box.holdsStrictly(m.x, m.y)) {
            finishNormalise(app);
            return;
        }
        if (kArcZeroArea.holdsStrictly(m.x, m.y)) {
            app.calc.entry.clear();
            app.calc.value = 0;
            finishNormalise(app);
            return;
        }
        for (const auto& a : kArcs)
            if (padKey(a.on)->box.holdsStrictly(m.x, m.y)) {
                carryOut(app, a.arc, 0);
                return;
            }
    }
}

void centreWindow(App& app) {
    app.screen.setWindowPosition(app.startPosition);
    app.placement = Placement::Start;
}

// Returns false when the calculator is to be left.
bool act(App& app, const Command& command) {
    switch (command.act) {
        case Act::Leave: return false;
        case Act::Operation:
            carryOut(app, command.op, command.c);
            return true;
        case Act::View: viewRecord(app); return true;
        case Act::Arc: arcSelection(app); return true;
        case Act::Centre: centreWindow(app); return true;
    }
    return true;
}

// Any failure inside an action ends in the error notice, not in a crash.
bool actTrapped(App& app, const Command& command) {
    try {
        return act(app, command);
    } catch (const std::exception&) {
        showError(app);
        return true;
    }
}

const Command* commandForKey(const Key& key) {
    for (const auto& k : kCalcKeys)
        if (key.upper() == k.key) return &k.command;
    return nullptr;
}

const Command* commandForPress(int x, int y) {
    for (const auto& b : kPanelButtons)
        if (b.pressArea.holdsStrictly(x, y)) return &b.command;
    for (const auto& k : kPadKeys)
        if (k.box.holdsStrictly(x, y)) return &k.command;
    return nullptr;
}

bool pointerLeftPanel(const MouseState& kept) { return kept.x < 640 || kept.y > 470; }

// One pass of the poll loop; false when the calculator is to be left.
bool pollPass(App& app) {
    Screen& s = app.screen;
    drawRecordLines(app);
    drawClockIfDue(app);
    s.sleep(10);
    const Key key = s.pollKey();
    if (!key.empty()) {
        const Command* command = commandForKey(key);
        if (!command) {
            s.sleep(20);
            return true;
        }
        return actTrapped(app, *command);
    }
    s.sleep(20);
    const MouseState m = s.pollMouse();
    if (m.valid) app.kept = m;
    if (pointerLeftPanel(app.kept)) {
        app.calcPanel.active = false;
        outline(s, kDisplayFrame, kFrameInactive);
        return false;
    }
    if (!buttonDown(m) || app.calcPanel.pressSpent) {
        if (!buttonDown(m)) app.calcPanel.pressSpent = false;
        s.sleep(30);
        return true;
    }
    const Command* command = commandForPress(m.x, m.y);
    if (!command) {
        s.sleep(20);
        return true;
    }
    // A digit pressed with the mouse is entered once, on release.
    if (command->act == Act::Operation && command->op == Op::Type) waitForRelease(app);
    return actTrapped(app, *command);
}

}  // namespace

void drawCalculatorPanel(App& app) {
    if (!app.expanded()) {
        app.calcPanel.active = false;
        return;
    }
    drawEntry(app);
    drawRecordLines(app);
    drawClockFace(app);
    app.calcPanel.active = false;
    outline(app.screen, kDisplayFrame, kFrameInactive);
}

void runCalculator(App& app) {
    if (!app.expanded()) {
        app.calcPanel.active = false;
        return;
    }
    drawEntry(app);
    while (pollPass(app)) {
    }
    app.calcPanel.active = false;
}

}  // namespace kestrel
