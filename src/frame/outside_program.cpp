#include "frame/outside_program.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::size_t kMessageWidth = 75;
constexpr int kMessageMs = 2000;

// A line too long for the row keeps its end, which says why (cp and rm
// name the path first and the reason last): the middle gives way to "...".
// The end kept is the last ": reason" when that is short, else the last
// half row ("... are the same file").
std::string fitted(const std::string& what, const std::string& reason) {
    const std::string line = what + ": " + reason;
    if (line.size() <= kMessageWidth) return line;
    const auto last = reason.rfind(": ");
    const std::string tail = last != std::string::npos && reason.size() - last <= kMessageWidth / 2
                                 ? reason.substr(last)
                                 : line.substr(line.size() - kMessageWidth / 2);
    return line.substr(0, kMessageWidth - tail.size() - 3) + "..." + tail;
}

}  // namespace

ProgramEnd runProgram(App& app, const Launch& launch, ProgressWatch* watch) {
    Screen& s = app.screen;
    s.flush();
    const auto child = app.runner.launch(launch);
    const bool watching = watch && watch->show;
    if (watching && watch->nextMs < 0) watch->nextMs = s.nowMs() + kProgressAfterMs;
    for (;;) {
        const int step = watching ? static_cast<int>(std::max<std::int64_t>(watch->nextMs - s.nowMs(), 0)) : -1;
        if (child->wait(step)) break;
        if (watching && s.nowMs() >= watch->nextMs) {
            watch->show();
            s.flush();
            watch->nextMs = s.nowMs() + kProgressEveryMs;
        }
    }
    s.dropKeys();
    s.input().dropTaps();
    return {child->result(), child->errorLine()};
}

std::string failureReason(const ProgramEnd& end) {
    if (!end.errorLine.empty()) return end.errorLine;
    switch (end.result.outcome) {
        case RunResult::Outcome::Exited: return "exit status " + std::to_string(end.result.status);
        case RunResult::Outcome::Signaled: return "ended by signal " + std::to_string(end.result.status);
        case RunResult::Outcome::NotStarted: break;
    }
    return "could not be started";
}

void showFailure(App& app, const std::string& what, const std::string& reason) {
    Screen& s = app.screen;
    s.setPages(0, 0);
    s.setColors(4, app.backgroundColour);
    s.printAt(27, 2, std::string(kMessageWidth, ' '));
    s.locate(27, 2);
    s.printGlyphs(fitted(what, reason));
    s.sleep(kMessageMs);
    s.printAt(27, 2, std::string(kMessageWidth, ' '));
    s.setColors(0, app.backgroundColour);
}

}  // namespace kestrel
