#pragma once
// Running an outside program from a screen: wait for it (calling back to
// show how far it has come, if asked), drop the keys typed meanwhile, and
// say on the message row why it failed.
#include <cstdint>
#include <functional>
#include <string>

#include "frame/app_state.h"

namespace kestrel {

// How a program ended.
struct ProgramEnd {
    RunResult result;
    std::string errorLine;  // its first line on standard error, or why it did not start
    bool failed() const { return !result.succeeded(); }
};

// Calls `show` while programs run: first when kProgressAfterMs have passed
// since the first program it watches started, then every kProgressEveryMs,
// on the screen's clock; the screen is presented after each. One watch may
// span several programs (a long list copied in several calls).
inline constexpr int kProgressAfterMs = 1000, kProgressEveryMs = 250;
struct ProgressWatch {
    std::function<void()> show;
    std::int64_t nextMs = -1;  // set when the first program starts
};

// Presents the screen, starts the program and waits for it to end. Keys
// typed and clicks made while Kestrel waited are dropped: an impatient Esc,
// Y or click on Exit must not act on the screen that follows.
ProgramEnd runProgram(App& app, const Launch& launch, ProgressWatch* watch = nullptr);

// runProgram for a shell line whose outcome the caller does not look at.
inline void runShellLine(App& app, const std::string& line) { runProgram(app, Launch::shellLine(line)); }

// Why a program failed, in one line: its first line on standard error, or
// else how it ended.
std::string failureReason(const ProgramEnd& end);

// Shows "what: reason" on the browser's message row (row 27, column 2,
// colour 4, cut to 75 columns) for 2000 ms or until a key, which is kept
// for the browser; then blanks it. The browser's page is made visible.
void showFailure(App& app, const std::string& what, const std::string& reason);

}  // namespace kestrel
