#include "frame/line_input.h"

#include <span>
#include <string_view>

#include "frame/dialog.h"

namespace kestrel {

namespace {

using Unit = HitArea::Unit;

constexpr int kBackground = -1;  // stands for the browser's background colour

enum class Outcome { Accept, Cancel };

struct Region {
    HitArea area;
    Outcome outcome;
    int sleepMs;  // before leaving
};

// Which end of an echo too long for its row stays in view.
enum class Overflow { KeepHead, KeepTail };

struct Echo {
    int row;
    int fg, bg;
    const char* joiner;  // between the subject and the text
    Overflow overflow;
};

struct LineInputInstance {
    LineInputKind kind;
    const char* prompt;
    int row, col;
    int fg, bg;
    size_t maximum;
    int fieldWidth;        // the text and its trailing blanks
    bool blankRowOnBlink;  // the rename prompt clears its row before the underscore
    int escSleepMs;
    Echo echo;
    std::span<const Region> regions;
};

constexpr Region kRenameRegions[] = {{kYesButton.hit(), Outcome::Accept, 0}, {kNoButton.hit(), Outcome::Cancel, 0}};
// The top bar's " Exit " and " X ", and the status row's "Esc" button.
constexpr Region kNewDirectoryRegions[] = {{{1, 72, 80, Unit::Columns}, Outcome::Cancel, 100},
                                           {{29, 60, 62, Unit::Columns}, Outcome::Cancel, 100}};

constexpr LineInputInstance kLineInputs[] = {
    {LineInputKind::Rename, " New Name > ", 27, 30, 1, 15, 20, 21, true, 50, {26, 0, 15, " to ", Overflow::KeepHead},
     kRenameRegions},
    {LineInputKind::NewDirectory, " New Directory > ", 25, 12, 0, kBackground, 26, 28, false, 0,
     {3, 0, kBackground, "/", Overflow::KeepTail}, kNewDirectoryRegions},
};

constexpr int kPassMs = 10;
constexpr int kBlinkEveryMs = 500, kUnderscoreMs = 150;
constexpr int kEchoWidth = 78;

const LineInputInstance& instanceOf(LineInputKind kind) {
    for (const auto& inst : kLineInputs)
        if (inst.kind == kind) return inst;
    return kLineInputs[0];
}

int colour(const App& app, int c) { return c == kBackground ? app.backgroundColour : c; }

void blankRow(Screen& s, int row) {
    s.locate(row, 2);
    s.print(std::string(kEchoWidth, ' '));
}

void printPrompt(App& app, const LineInputInstance& inst, const std::string& text, std::string_view tail) {
    Screen& s = app.screen;
    s.setColors(inst.fg, colour(app, inst.bg));
    s.locate(inst.row, inst.col);
    s.print(inst.prompt);
    s.print(text);
    s.print(tail);
}

std::string trailingBlanks(const LineInputInstance& inst, const std::string& text) {
    const int n = inst.fieldWidth - static_cast<int>(text.size());
    return std::string(static_cast<size_t>(n > 0 ? n : 0), ' ');
}

void blink(App& app, const LineInputInstance& inst, const std::string& text) {
    Screen& s = app.screen;
    if (s.nowMs() <= app.blinkDeadlineMs) return;
    app.blinkDeadlineMs = s.nowMs() + kBlinkEveryMs;
    printPrompt(app, inst, text, trailingBlanks(inst, text));
    if (inst.blankRowOnBlink) blankRow(s, inst.row);
    printPrompt(app, inst, text, "_");
    s.sleep(kUnderscoreMs);
}

const Region* regionPressed(const LineInputInstance& inst, const MouseState& m) {
    if (!(m.buttons & 3)) return nullptr;
    for (const Region& r : inst.regions)
        if (r.area.holds(m.x, m.y)) return &r;
    return nullptr;
}

}  // namespace

size_t lineInputMaximum(LineInputKind kind) { return instanceOf(kind).maximum; }

bool acceptsNameCharacter(int c) {
    if (c < 42 || c > 122) return false;
    for (char rejected : std::string_view(",:;\\/<>?"))
        if (c == rejected) return false;
    return true;
}

void drawLineInputEcho(App& app, LineInputKind kind, const std::string& subject, const std::string& text) {
    const LineInputInstance& inst = instanceOf(kind);
    const Echo& e = inst.echo;
    Screen& s = app.screen;
    s.setColors(e.fg, colour(app, e.bg));
    blankRow(s, e.row);
    std::string line = subject + e.joiner + text;
    const size_t length = static_cast<size_t>(s.textCells(line));
    if (e.overflow == Overflow::KeepTail && length > kEchoWidth) line.erase(0, s.textTailStart(line, kEchoWidth));
    s.locate(e.row, centredStart(40, length));
    s.printText(line, kEchoWidth);
    s.setColors(inst.fg, colour(app, inst.bg));
}

std::optional<std::string> lineInput(App& app, LineInputKind kind, const std::string& subject) {
    Screen& s = app.screen;
    const LineInputInstance& inst = instanceOf(kind);
    std::string text;
    for (;;) {
        s.sleep(kPassMs);
        const MouseState m = s.pollMouse();
        if (!m.valid) continue;  // keys wait until the pointer is back
        app.lastWheel = m.wheel;
        app.kept = m;
        if (const Region* r = regionPressed(inst, m); r && !(r->outcome == Outcome::Accept && text.empty())) {
            s.sleep(r->sleepMs);
            if (r->outcome == Outcome::Accept) return text;
            return std::nullopt;
        }
        blink(app, inst, text);
        printPrompt(app, inst, text, trailingBlanks(inst, text));

        const Key k = s.pollKey();
        if (k.empty()) continue;
        if (k.isChar(ch::Enter) && !text.empty()) return text;
        if (k.isChar(ch::Esc)) {
            s.sleep(inst.escSleepMs);
            return std::nullopt;
        }
        if (k.isChar(ch::Backspace) || k.isExt(scan::Left)) {
            if (!text.empty()) text.pop_back();
        } else if (k.kind == Key::Kind::Char && acceptsNameCharacter(k.code) && text.size() < inst.maximum) {
            text += static_cast<char>(k.code);
        }
        drawLineInputEcho(app, kind, subject, text);
    }
}

}  // namespace kestrel
