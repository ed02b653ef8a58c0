#include "app/search_mode.h"

#include <algorithm>

#include "dirlist/name_search.h"
#include "frame/browser_draw.h"
#include "frame/line_input.h"
#include "screen/press_repeat.h"

namespace kestrel {

namespace {

constexpr int kMaxText = 10;
constexpr int kBlinkIntervalMs = 500, kBlinkShownMs = 100, kSettleMs = 1500;

struct Area {
    int x1, y1, x2, y2;
    bool holds(const MouseState& m) const { return m.x >= x1 && m.x <= x2 && m.y >= y1 && m.y <= y2; }
};

constexpr Area kStartOnlyBox{525, 550, 535, 560};
constexpr Area kFindButton{526, 521, 562, 535};
constexpr Area kNextButton{587, 521, 624, 535};
constexpr Area kListArea{0, 0, 9999, 417};
constexpr Area kCloseX{622, 477, 632, 489};


// The field: row 32 of the expanded view's panel. The normal view has no
// panel, so the field is shown on the message row instead.
void drawField(App& app, bool underscore) {
    Screen& s = app.screen;
    // ">" and up to 10 characters fill 11 cells; the blinking "_" after a
    // full text takes the twelfth, which is blanked again with the rest.
    std::string field = ">" + app.search.text + (underscore ? "_" : "");
    field.resize(12, ' ');
    s.setColors(0, app.backgroundColour);
    if (app.expanded()) s.printAt(32, 67, field);
    else s.printAt(27, 2, "Search " + field);
}

void drawActiveFrame(App& app) {
    Screen& s = app.screen;
    const int colour = app.backgroundColour == 5 ? 12 : 14;
    s.drawBox(520, 494, 630, 513, colour);
    s.setColors(colour, app.backgroundColour);
    s.drawString(624, 476, "X");
}

void leaveSearch(App& app) {
    Screen& s = app.screen;
    const std::int64_t started = s.nowMs();
    app.search.active = false;
    s.lock();
    if (app.expanded()) {
        s.fillBox(516, 474, 634, 569, app.backgroundColour);
        drawSearchPanel(app);
        drawField(app, false);
    } else {
        s.setColors(0, app.backgroundColour);
        s.printAt(27, 2, std::string(25, ' '));
    }
    drawDivider(app);
    s.unlock();
    s.sleep(100);
    while (s.nowMs() - started < kSettleMs) {
        if (s.pollKey().isChar(ch::Esc)) break;
        s.sleep(10);
    }
    s.setColors(0, app.backgroundColour);
}

// Runs the search; false when the list ran out and the mode ends.
bool search(App& app, SearchButton button) {
    app.search.lastButton = button;
    const SearchRule rule = button == SearchButton::Find ? SearchRule::Find : SearchRule::Next;
    const int row = searchEntries(app.list, app.search.text, app.search.startOnly, rule, app.search.position);
    if (row == 0) return false;
    Screen& s = app.screen;
    app.cursorIndex = row;
    app.cursorRow = 1;
    s.lock();
    drawPage(app, row);
    drawRow(app, row, 1, true);
    drawDivider(app);
    s.unlock();
    s.sleep(50);
    drawActiveFrame(app);
    return true;
}

enum class Outcome { Stay, Leave };

Outcome onKey(App& app, Key k) {
    std::string& text = app.search.text;
    if (k.isChar(ch::Enter) && !text.empty()) {
        const SearchButton b = app.search.lastButton == SearchButton::Find ? SearchButton::Find : SearchButton::Next;
        return search(app, b) ? Outcome::Stay : Outcome::Leave;
    }
    if (k.isChar(ch::Esc)) return Outcome::Leave;
    if ((k.isChar(ch::Backspace) || k.isExt(scan::Left)) && !text.empty()) text.pop_back();
    else if (k.kind == Key::Kind::Char && searchAccepts(k.code) && text.size() < kMaxText)
        text += static_cast<char>(k.code);
    return Outcome::Stay;
}

Outcome onMouse(App& app, const MouseState& m, PressRepeat& press) {
    Screen& s = app.screen;
    const bool left = m.left();
    if (!press.acts(m.buttons & 3, s.nowMs())) return Outcome::Stay;
    if (left && kStartOnlyBox.holds(m)) {
        toggleStartOnly(app);
        return Outcome::Stay;
    }
    for (auto [area, button] : {std::pair{kFindButton, SearchButton::Find}, std::pair{kNextButton, SearchButton::Next}})
        if (area.holds(m)) {
            if (left) s.sleep(100);
            return search(app, button) ? Outcome::Stay : Outcome::Leave;
        }
    if (left && kListArea.holds(m)) return Outcome::Leave;
    if (kCloseX.holds(m)) return Outcome::Leave;
    return Outcome::Stay;
}

}  // namespace

// The search box takes the same characters as the name prompts.
bool searchAccepts(int c) { return acceptsNameCharacter(c); }

void toggleStartOnly(App& app) {
    app.search.startOnly = 1 - app.search.startOnly;
    drawStartOnlyBox(app);
    app.screen.sleep(500);
}

Next runSearchMode(App& app) {
    Screen& s = app.screen;
    app.search.active = true;
    drawActiveFrame(app);
    std::int64_t blinkAt = s.nowMs();
    // Holding a button repeats Find, Next or the toggle, but only after the
    // repeat delay: a click acts once. The click that opened the field
    // acts no more.
    PressRepeat press;
    press.begin(s.peekMouse());
    for (;;) {
        const std::uint64_t changes = s.input().changes();
        drawStatusAndScrollBar(app);
        if (s.nowMs() >= blinkAt) {
            drawField(app, true);
            s.sleep(kBlinkShownMs);
            blinkAt = s.nowMs() + kBlinkIntervalMs;
        }
        drawField(app, false);
        const Key k = s.pollKey();
        Outcome outcome = Outcome::Stay;
        bool held = false;
        if (!k.empty()) outcome = onKey(app, k);
        else if (const MouseState m = s.pollMouse(); m.valid) {
            held = m.buttons != 0;
            outcome = onMouse(app, m, press);
        }
        if (outcome == Outcome::Leave) break;
        s.sleep(10);
        // Nothing came in during the pass: the field and the clock stay as
        // they are until the next blink or second, or until input comes.
        if (k.empty() && !held && !s.keyWaiting() && s.input().changes() == changes) {
            const int untilBlink = static_cast<int>(std::max<std::int64_t>(0, blinkAt - s.nowMs()));
            s.waitForInput(changes, std::min(untilBlink, msUntilClockTick(app)));
        }
    }
    leaveSearch(app);
    return Next::Poll;
}

}  // namespace kestrel
