#pragma once
// Drawing the browser screen on page 0: the frame, the list panel, the cursor
// and everything that follows a cursor move, the status row and scroll bar,
// the clock, the panels of the expanded view and the message row.
#include <string>

#include "frame/app_state.h"

namespace kestrel {

constexpr int kPanelRows = 19;  // list rows, screen rows 5 to 23

void drawFrame(App& app);
void drawPathLine(App& app);
void drawPage(App& app, int firstIndex);
// Clears the list panel and redraws the path line, as a page draw begins.
void clearPanel(App& app);
void drawRow(App& app, int index, int panelRow, bool highlighted);
void unhighlightCursorRow(App& app);
void drawCursorStep(App& app);
void drawHeaders(App& app);
void drawDivider(App& app);
void drawStatusAndScrollBar(App& app);
void drawClock(App& app);
// The clock without the pause that follows it on the browser's poll.
void drawClockFace(App& app);
// How long nothing on an idle screen changes: until the clock panel's next
// second in the expanded view, else a second.
int msUntilClockTick(App& app);
// Rows 31 to 37 of the expanded view: the six help lines and the banner.
void drawHelpLinesAndBanner(App& app);
void drawBufferPanel(App& app, const char* title);
void drawSearchPanel(App& app);
void drawStartOnlyBox(App& app);
// Row 27 in colour 4 for 2000 ms (a key cuts it short), then blanked.
void showMessage(App& app, const std::string& text, int blankWidth = 75);

// The column where a centred line starts: round(centre - len / 2), ties to even.
int centredColumn(int centre, size_t length);

}  // namespace kestrel
