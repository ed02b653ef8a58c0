#pragma once
// Short messages on the browser's message row (row 27), and the texts that
// dialogs and the running of outside programs put at fixed places.
#include "frame/app_state.h"

namespace kestrel {

enum class StatusMessage { PickFileOrDirectory, NeedFileStart, FilesOnly, MustFirstCopy };

// Shows the message in colour 4 and waits: 2000 ms (a key cuts it short and
// is kept for the browser), or up to 2 s with Esc ending it early, after
// which every waiting key is dropped. Then it is blanked and the colours
// are back to 0 on the background.
void showStatus(App& app, StatusMessage message);
const char* statusText(StatusMessage message);

// A text with its place and colours. kBackgroundColour stands for the
// browser's background colour; holdMs is how long it stays (0: it stays
// until something draws over it).
constexpr int kBackgroundColour = -1;
struct PlacedText {
    const char* text;
    int row, col;
    int fg, bg;
    int holdMs;
};

constexpr PlacedText kCaution{"Caution!", 26, 10, 4, 15, 0};
constexpr PlacedText kNoBufferFiles{" No Buffer Files.", 25, 31, 1, 15, 2000};
constexpr PlacedText kPleaseWait{"Please Wait", 29, 2, 1, 15, 0};
constexpr PlacedText kWaitingForProgram{"Waiting for program to close.", 27, 50, 1, kBackgroundColour, 0};
constexpr PlacedText kExecutableRunning{"Executable running, will resume when it is closed.", 29, 15, 0, 15, 0};
constexpr PlacedText kUnableToRun{"            Error: unable to run program.               ", 29, 13, 4, 15, 4000};
// The two lines of a failed directory removal; the second one holds both.
constexpr PlacedText kUnableToRemoveDirectory{"  Error: unable to remove Directory   ", 28, 20, 0, 15, 0};
constexpr PlacedText kRemoveFilesInDirectory{"       Remove Files in Directory      ", 29, 20, 0, 15, 7000};
constexpr PlacedText kOneMomentPlease{"One Moment Please ...", 3, 32, 0, kBackgroundColour, 0};

// Prints the text in its colours, then waits its hold time. The colours
// are left as the text's.
void showPlaced(App& app, const PlacedText& placed);
// Blanks the waiting text once the outside program has ended.
void clearWaitingForProgram(App& app);

}  // namespace kestrel
