#include "viewers/viewer.h"

#include <optional>
#include <string>

#include "screen/nav_widgets.h"
#include "screen/press_repeat.h"
#include "viewers/viewer_paging.h"

namespace kestrel {

namespace {

enum class ViewerCommand { Next, Previous, First, Last, Close, Background };

struct KeyBinding {
    Key key;
    ViewerCommand command;
};

// Enter leaves the viewer the same way as Esc: it used to list the viewed
// file's path as if it were a directory.
constexpr KeyBinding kKeys[] = {
    {Key{Key::Kind::Extended, scan::Down}, ViewerCommand::Next},
    {Key{Key::Kind::Extended, scan::Up}, ViewerCommand::Previous},
    {Key{Key::Kind::Extended, scan::Home}, ViewerCommand::First},
    {Key{Key::Kind::Extended, scan::End}, ViewerCommand::Last},
    {Key{Key::Kind::Char, ch::Esc}, ViewerCommand::Close},
    {Key{Key::Kind::Char, ch::Enter}, ViewerCommand::Close},
    {Key{Key::Kind::Char, 'B'}, ViewerCommand::Background},
    {Key{Key::Kind::Char, 'b'}, ViewerCommand::Background},
};

constexpr int kLeft = 1, kRight = 2, kEither = 3;

struct ButtonTarget {
    int buttons;  // which buttons reach it
    int firstCol, lastCol;
    ViewerCommand command;
    int delayMs;  // the left button pages more slowly than the right
};

// On the status row, tested in this order; the first match acts.
constexpr ButtonTarget kButtonTargets[] = {
    {kLeft, 50, 51, ViewerCommand::Previous, 150},
    {kLeft, 54, 57, ViewerCommand::Next, 150},
    {kRight, 50, 51, ViewerCommand::Previous, 0},
    {kRight, 54, 57, ViewerCommand::Next, 0},
    {kEither, 60, 62, ViewerCommand::Close, 0},
    {kEither, 71, 73, ViewerCommand::Last, 0},
    {kEither, 65, 68, ViewerCommand::First, 0},
};

constexpr int kPadOffset = 10;  // the pad sits lower than on the browser
constexpr int kButtonTop = 464, kButtonBottom = 480;

constexpr int kIdlePassMs = 50;

// Everything the frame shows that can change while the viewer runs.
struct FrameFacts {
    std::uint64_t size = 0, pos = 0;
    int background = -1;
    bool expanded = false, textLabel = false;
    bool operator==(const FrameFacts&) const = default;
};

struct Viewer {
    App& app;
    std::string path;
    Pager pager;
    PressRepeat press;  // a click pages once; a longer hold keeps paging
    std::optional<FrameFacts> drawn;  // the facts of the frame on screen, while nothing has drawn over it
    int quietPasses = 0;              // passes in a row that found no input
};

FrameFacts frameFacts(const Viewer& v) {
    return {static_cast<std::uint64_t>(v.pager.source.size()), static_cast<std::uint64_t>(v.pager.pos),
            v.app.backgroundColour, v.app.expanded(), v.app.formatLabelText};
}


void redrawFrame(Viewer& v) {
    App& app = v.app;
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.setColors(1, bg);
    v.pager.pos = std::min(v.pager.pos, v.pager.source.size());
    s.lock();
    s.sleep(10);
    s.printAt(kViewerStatusRow, 1, std::string(78, ' '));
    s.locate(kViewerStatusRow, 2);
    s.print("Size");
    s.printNumber(v.pager.source.size());
    s.print(" Pos");
    s.printNumber(v.pager.pos);
    if (app.expanded()) {
        s.setColors(0, bg);
        s.printAt(34, 2, app.formatLabelText ? "File in Text Format " : "File in Binary Format ");
        s.locate(35, 2);
        s.printGlyphs(v.path);
        s.printAt(32, 45, "Can use Mouse Wheel to scrool Up or Down.");
        s.setColors(8, bg);
        s.printAt(37, 5, " Kestrel ");
        s.printAt(37, 19, " Tarnwick ");
        s.setColors(1, bg);
    }
    drawPad(s, bg, kPadOffset);
    drawNavButtons(s, kViewerStatusRow, kButtonTop, kButtonBottom);
    s.unlock();
    s.setColors(0, bg);
    v.drawn = frameFacts(v);
    s.sleep(50);
}

// While the pointer is outside the window the frame is redrawn every pass;
// when it would come out the same, only the pass's pauses are kept.
void refreshFrame(Viewer& v) {
    Screen& s = v.app.screen;
    if (v.drawn != frameFacts(v)) {
        redrawFrame(v);
        return;
    }
    s.setColors(1, v.app.backgroundColour);
    s.sleep(10);
    s.setColors(0, v.app.backgroundColour);
    s.sleep(50);
}

// Only 2 and 7 swap; every other background leaves the key without effect.
bool swapBackground(App& app) {
    if (app.backgroundColour == 7) {
        app.backgroundColour = 2;
    } else if (app.backgroundColour == 2) {
        app.backgroundColour = 7;
    } else {
        return false;
    }
    return true;
}

enum class Outcome { Stay, Close };

Outcome act(Viewer& v, ViewerCommand command) {
    Pager& p = v.pager;
    bool redraw = true;
    switch (command) {
        case ViewerCommand::Next: redraw = nextPage(p); break;
        case ViewerCommand::Previous: previousPage(p); break;
        case ViewerCommand::First: firstPage(p); break;
        case ViewerCommand::Last: redraw = lastPage(p); break;
        case ViewerCommand::Close: return Outcome::Close;
        case ViewerCommand::Background:
            redraw = swapBackground(v.app);
            if (redraw) {
                p.background = v.app.backgroundColour;
                p.pos = 0;
                drawForward(p, kViewerStatusRow);
            }
            break;
    }
    if (redraw) redrawFrame(v);
    return Outcome::Stay;
}

std::optional<ViewerCommand> commandForKey(Key key) {
    for (const auto& k : kKeys)
        if (k.key == key) return k.command;
    return std::nullopt;
}

// The wheel pages one page per poll, however far it was turned.
void handleWheel(Viewer& v, const MouseState& m) {
    App& app = v.app;
    if (m.wheel < app.lastWheel) {
        app.lastWheel = m.wheel;
        act(v, ViewerCommand::Next);
    } else if (m.wheel > app.lastWheel) {
        app.lastWheel = m.wheel;
        act(v, ViewerCommand::Previous);
    }
}

// The pad squares lie right of every button on the status row, so moving
// the window never hides a button press in the same poll.
void handlePad(App& app, const MouseState& m) {
    const int square = padSquareAt(m.x, m.y, kPadOffset);
    if (square < 0) return;
    app.screen.setWindowPosition(square == 0 ? app.startPosition : app.targets[square - 1]);
    app.placement = static_cast<Placement>(square);
}

Outcome mousePass(Viewer& v) {
    Screen& s = v.app.screen;
    const MouseState m = s.pollMouse();
    if (!m.valid) {
        refreshFrame(v);
        return Outcome::Stay;
    }
    handleWheel(v, m);
    const int held = m.buttons & kEither;
    if (!v.press.acts(held, s.nowMs())) {
        s.sleep(kIdlePassMs);
        return Outcome::Stay;
    }
    handlePad(v.app, m);
    const Cell c = m.cell();
    if (c.row == kViewerStatusRow) {
        for (const auto& t : kButtonTargets) {
            if ((held & t.buttons) == 0 || c.col < t.firstCol || c.col > t.lastCol) continue;
            if (t.delayMs > 0) s.sleep(t.delayMs);
            return act(v, t.command);
        }
    }
    s.sleep(kIdlePassMs);
    return Outcome::Stay;
}

// A pass whose command changed nothing (Down or End on the last page) has
// not slept; it rests like an idle pass so a held button cannot spin.
// Once a whole pass has run after the last input, an untouched viewer waits
// for input instead of repeating passes that draw the same pixels.
Outcome pollPass(Viewer& v) {
    Screen& s = v.app.screen;
    const std::uint64_t changes = s.input().changes();
    const std::int64_t started = s.nowMs();
    const Key key = s.pollKey();
    const auto command = commandForKey(key);
    const Outcome outcome = command ? act(v, *command) : mousePass(v);
    if (outcome == Outcome::Stay && s.nowMs() == started) s.sleep(kIdlePassMs);
    const MouseState m = s.peekMouse();
    const bool quiet = key.empty() && !(m.valid && m.buttons != 0) && !s.keyWaiting() && s.input().changes() == changes;
    v.quietPasses = quiet ? v.quietPasses + 1 : 0;
    if (outcome == Outcome::Stay && v.quietPasses >= 2) {
        s.waitForInput(changes, 1000);
        if (s.input().changes() != changes) v.quietPasses = 0;  // the next pass takes what came in
    }
    return outcome;
}

}  // namespace

Next runViewer(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.sleep(200);
    // The page is cleared before it is shown, so the previous file's page
    // never appears, not even for a moment.
    s.setPages(1, s.visiblePage());
    s.setColors(0, bg);
    s.clearScreen();
    s.setPages(1, 1);
    s.sleep(10);
    s.printAt(3, 32, "One Moment Please ...");
    s.sleep(100);

    const auto source = openForViewing(app.selectedPath);
    Viewer v{app, app.selectedPath, Pager{s, *source, bg}, {}, std::nullopt};
    drawForward(v.pager, kViewerStatusRow);
    s.sleep(20);
    if (const MouseState m = s.peekMouse(); m.valid) {
        app.lastWheel = m.wheel;
        v.press.begin(m, kEither);
    }
    redrawFrame(v);
    while (pollPass(v) == Outcome::Stay) {
    }

    app.previousPath = v.path;
    app.selectedPath = app.savedDirectoryPath;
    app.formatLabelText = false;
    s.setPages(0, 0);
    s.sleep(20);
    return Next::Reload;
}

}  // namespace kestrel
