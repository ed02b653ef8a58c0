#include "app/status_message.h"

#include <string>

#include "screen/browser_draw.h"

namespace kestrel {

namespace {

enum class Wait { Fixed, UntilEsc };

struct StatusSpec {
    StatusMessage message;
    const char* text;
    Wait wait;
    int blankWidth;  // what is blanked afterwards
};

constexpr StatusSpec kStatusMessages[] = {
    {StatusMessage::PickFileOrDirectory, "Pick a file or directory.", Wait::Fixed, 25},
    {StatusMessage::NeedFileStart, "Need File Start.", Wait::UntilEsc, 25},
    {StatusMessage::FilesOnly, "Files Only.", Wait::UntilEsc, 25},
    {StatusMessage::MustFirstCopy, "Must first make a Copy selection.", Wait::Fixed, 35},
};

constexpr int kShownMs = 2000, kPollMs = 10;

const StatusSpec& specOf(StatusMessage message) {
    for (const auto& spec : kStatusMessages)
        if (spec.message == message) return spec;
    return kStatusMessages[0];
}

void printAt(Screen& s, int row, int col, const std::string& text) {
    s.locate(row, col);
    s.print(text);
}

void waitForEsc(Screen& s) {
    const std::int64_t end = s.nowMs() + kShownMs;
    while (s.nowMs() < end) {
        if (s.pollKey().isChar(ch::Esc)) break;
        s.sleep(kPollMs);
    }
    s.dropKeys();
}

}  // namespace

const char* statusText(StatusMessage message) { return specOf(message).text; }

void showStatus(App& app, StatusMessage message) {
    const StatusSpec& spec = specOf(message);
    if (spec.wait == Wait::Fixed) {
        showMessage(app, spec.text, spec.blankWidth);
        return;
    }
    Screen& s = app.screen;
    s.setColors(4, app.backgroundColour);
    printAt(s, 27, 2, std::string(75, ' '));
    printAt(s, 27, 2, spec.text);
    waitForEsc(s);
    printAt(s, 27, 2, std::string(static_cast<size_t>(spec.blankWidth), ' '));
    s.setColors(0, app.backgroundColour);
}

void showPlaced(App& app, const PlacedText& placed) {
    Screen& s = app.screen;
    auto colour = [&](int c) { return c == kBackgroundColour ? app.backgroundColour : c; };
    s.setColors(colour(placed.fg), colour(placed.bg));
    printAt(s, placed.row, placed.col, placed.text);
    if (placed.holdMs > 0) s.sleep(placed.holdMs);
}

void clearWaitingForProgram(App& app) {
    Screen& s = app.screen;
    s.setColors(1, app.backgroundColour);
    printAt(s, kWaitingForProgram.row, kWaitingForProgram.col, std::string(29, ' '));
}

}  // namespace kestrel
