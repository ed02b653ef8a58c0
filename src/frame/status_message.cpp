#include "frame/status_message.h"

#include <string>

#include "frame/browser_draw.h"

namespace kestrel {

namespace {

enum class Wait { Fixed, UntilEsc };

struct StatusRow {
    StatusMessage message;
    const char* text;
    Wait wait;
    int blankWidth;  // what is blanked afterwards
};

constexpr StatusRow kStatusMessages[] = {
    {StatusMessage::PickFileOrDirectory, "Pick a file or directory.", Wait::Fixed, 25},
    {StatusMessage::NeedFileStart, "Need File Start.", Wait::UntilEsc, 25},
    {StatusMessage::FilesOnly, "Files Only.", Wait::UntilEsc, 25},
    {StatusMessage::MustFirstCopy, "Must first make a Copy selection.", Wait::Fixed, 35},
};

constexpr int kShownMs = 2000, kPollMs = 10;

const StatusRow& instanceOf(StatusMessage message) {
    for (const auto& inst : kStatusMessages)
        if (inst.message == message) return inst;
    return kStatusMessages[0];
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

const char* statusText(StatusMessage message) { return instanceOf(message).text; }

void showStatus(App& app, StatusMessage message) {
    const StatusRow& inst = instanceOf(message);
    if (inst.wait == Wait::Fixed) {
        showMessage(app, inst.text, inst.blankWidth);
        return;
    }
    Screen& s = app.screen;
    s.setColors(4, app.backgroundColour);
    s.printAt(27, 2, std::string(75, ' '));
    s.printAt(27, 2, inst.text);
    waitForEsc(s);
    s.printAt(27, 2, std::string(static_cast<size_t>(inst.blankWidth), ' '));
    s.setColors(0, app.backgroundColour);
}

void showPlaced(App& app, const PlacedText& placed) {
    Screen& s = app.screen;
    auto colour = [&](int c) { return c == kBackgroundColour ? app.backgroundColour : c; };
    s.setColors(colour(placed.fg), colour(placed.bg));
    s.printAt(placed.row, placed.col, placed.text);
    if (placed.holdMs > 0) s.sleep(placed.holdMs);
}

void clearWaitingForProgram(App& app) {
    Screen& s = app.screen;
    s.setColors(1, app.backgroundColour);
    s.printAt(kWaitingForProgram.row, kWaitingForProgram.col, std::string(29, ' '));
}

}  // namespace kestrel
