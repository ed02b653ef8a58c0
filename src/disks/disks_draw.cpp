#include "disks/disks_draw.h"

#include "screen/nav_widgets.h"

namespace kestrel {

namespace {

struct PlacedLabel {
    int row, col;
    const char* text;
};

// Drawn 7 on 6, like the browser's buttons.
constexpr PlacedLabel kButtons[] = {
    {3, 49, "View Partition"}, {3, 65, "Mount"}, {3, 72, "Unmount"}, {29, 42, "upDate"},
};

constexpr const char* kHelpLines[] = {
    "Mouse button to select item.",
    "View Partition or Enter to view a Mounted Partition.",
    "Partition must be Mounted before viewing it.",
    "@ = Center on screen.",
};

// The window-position pad sits further right and lower than the browser's.
constexpr int kPadDx = 90, kPadDy = 50;

void spaces(Screen& s, int row, int col, int n) { s.printAt(row, col, std::string(static_cast<size_t>(n), ' ')); }


}  // namespace

void drawDisksHelpLinesAndBanner(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.setColors(0, bg);
    // The browser's six help lines give way to the four of this screen.
    for (int r = 31; r <= 36; ++r) spaces(s, r, 2, 63);
    for (int i = 0; i < 4; ++i) s.printAt(31 + i, 3, kHelpLines[i]);
    s.setColors(8, bg);
    s.printAt(37, 5, " Kestrel ");
    s.printAt(37, 19, " Tarnwick ");
}

void drawDisksFrame(App& app) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    s.lock();
    s.setColors(1, bg);
    drawDoubleFrame(s);
    s.setColors(9, 7);
    spaces(s, 1, 20, 40);
    s.printAt(1, 32, "Select Partition");
    s.setColors(0, bg);
    spaces(s, 3, 2, 78);
    s.printAt(3, 2, "Disks and Partitions");
    for (int r = 5; r <= 23; ++r) spaces(s, r, 2, 78);
    spaces(s, 29, 2, 39);
    s.setColors(7, 6);
    for (const auto& b : kButtons) s.printAt(b.row, b.col, b.text);
    for (const auto& sq : kPadSquares) {
        const int x = sq.x1 + kPadDx, y = sq.y1 + kPadDy;
        s.fillBox(x, y, x + 7, y + 7, bg);
        s.drawBox(x, y, x + 7, y + 7, 12);
    }
    if (app.expanded()) drawDisksHelpLinesAndBanner(app);
    s.setColors(0, bg);
    s.unlock();
}

void drawDrivesHeader(App& app, const std::string& header) {
    Screen& s = app.screen;
    s.setColors(0, 15);
    s.locate(4, 2);
    s.printTextPadded(header.empty() ? kDrivesHeader : std::string_view(header), 78);
}

void drawDeviceLines(App& app, const DriveReport& report, ListWindow window) {
    Screen& s = app.screen;
    const int count = static_cast<int>(report.devices.size());
    s.lock();
    for (int line = 1; line <= kWindowLines; ++line) {
        const int index = window.first() + line - 1;
        const bool shown = index >= 1 && index <= count;
        if (line == window.line) s.setColors(5, 9);
        else s.setColors(0, app.backgroundColour);
        s.locate(line + 4, 2);
        s.printTextPadded(shown ? std::string_view(report.devices[static_cast<size_t>(index - 1)].row) : "", 78);
    }
    s.setColors(0, app.backgroundColour);
    s.unlock();
}

void clearMessageBox(App& app) { app.screen.fillBox(8, 373, 630, 402, app.backgroundColour); }

void clearTextRow(App& app, int row) {
    app.screen.setColors(0, app.backgroundColour);
    spaces(app.screen, row, 2, 78);
}

void drawSelection(App& app, const Device* device, const std::string& usageHeader) {
    Screen& s = app.screen;
    clearMessageBox(app);
    clearTextRow(app, 27);
    if (!device) return;
    std::string detail;
    if (device->type == "disk") {
        detail = "Disks can not be Mounted only Partitions.";
    } else if (device->type == "part" && !device->mountPoint.empty()) {
        detail = "Partition " + device->name + " Mounted " + device->mountPoint;
        if (device->mountPoint.starts_with("/init")) detail += " Primary Partition";
        if (!device->usage.empty()) {
            s.drawString(16, 373, usageHeader);
            s.drawString(16, 387, device->usage);
        }
    } else if (device->type == "part") {
        detail = "Partition " + device->name + " UnMounted ";
    }
    s.locate(27, 2);
    s.printText(detail, 78);
}

void drawDeviceCount(App& app, int count) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.locate(29, 3);
    s.printNumber(count);
    s.print(" Found     ");
}

void printNotice(App& app, int row, const std::string& text) {
    clearTextRow(app, row);
    app.screen.setColors(4, app.backgroundColour);
    app.screen.locate(row, 2);
    app.screen.printText(text, 78);
    app.screen.setColors(0, app.backgroundColour);
}

}  // namespace kestrel
