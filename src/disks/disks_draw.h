#pragma once
// Drawing the disks and partitions screen: its frame over the copy of the
// browser, the device lines, the selection details, the count and messages.
#include <string>

#include "frame/app_state.h"
#include "disks/drive_report.h"
#include "disks/list_window.h"

namespace kestrel {

// Everything that stays while the screen is open, drawn on the work page.
void drawDisksFrame(App& app);
// Expanded view: this screen's four help lines in place of the browser's six, and the banner.
void drawDisksHelpLinesAndBanner(App& app);
// Row 4: the lsblk header as the report holds it, so that its titles stand
// over the columns of the rows below.
void drawDrivesHeader(App& app, const std::string& header);
// The 19 window lines; lines past the last device are blank.
void drawDeviceLines(App& app, const DriveReport& report, ListWindow window);
// Text row 27 and the message box describe the device under the cursor.
void drawSelection(App& app, const Device* device, const std::string& usageHeader);
void drawDeviceCount(App& app, int count);
// The message box, pixels (8,373)-(630,402), filled with the background.
void clearMessageBox(App& app);
void clearTextRow(App& app, int row);
// A text in colour 4 at column 2 of `row`, after the row is cleared.
void printNotice(App& app, int row, const std::string& text);

}  // namespace kestrel
