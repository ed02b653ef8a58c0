#include "help/help_screen.h"

#include "frame/colours.h"

namespace kestrel {

namespace {

struct PlacedText {
    int row, col, colour;
    const char* text;
};

// The page, row by row: text row, column, colour, text.
constexpr PlacedText kHelpPage[] = {
    {2, 5, 1, "Kestrel Ver. 1.1 - Help"},
    {5, 5, 0, "Use Caution when Removing and Copying files and directories."},
    {6, 5, 0, "A message will be displayed to show what has been selected."},
    {7, 5, 0, "Make sure the copy or remove message is correct before selecting Yes."},
    {8, 5, 0, "Clear the Copy/Kill Buffer before selecting files to be removed. The "},
    {9, 5, 0, "files that remain in the Copy/Kill Buffer will also be removed."},
    {10, 5, 0, "On a file, selecting Info will display file and system information."},
    {11, 5, 0, "A partition must be mounted before it can be viewed. Use List to Mount,"},
    {12, 5, 0, "Unmount, and View Partitions. Also disk space and free space, if Mounted."},
    {13, 5, 0, "Before a drive is removed it must be unmounted before it is removed."},
    {14, 5, 0, "It would be wise to Copy any files or data that is needed."},
    {15, 5, 0, "A USB thumb drive can be used for backing up important files."},
    {17, 5, 0, "Depending on how permissions are set, some features my be restricted."},
    {29, 74, 1, "BACK"},
};

struct Outline {
    int x1, y1, x2, y2, colour;
};

// The BACK button and the three nested frame outlines.
constexpr Outline kOutlines[] = {
    {569, 442, 628, 466, 0},
    {2, 2, 638, 478, 1},
    {1, 1, 639, 479, 3},
    {0, 0, 640, 480, 3},
};

// Strictly inside the BACK outline.
bool onBack(const MouseState& m) {
    return (m.left() || m.right()) && m.x >= 570 && m.x <= 627 && m.y >= 443 && m.y <= 465;
}

bool closingKey(Key k) { return k.isChar(ch::Esc) || k.upper() == 'B'; }

void placeWindow(App& app) {
    Screen& s = app.screen;
    switch (app.placement) {
        case Placement::Dragged: s.setWindowPosition(app.draggedPosition); break;
        case Placement::Start: s.setWindowPosition(app.startPosition); break;
        default: s.setWindowPosition(app.targets[static_cast<int>(app.placement) - 1]); break;
    }
}

void drawPage(App& app) {
    Screen& s = app.screen;
    s.lock();
    for (const auto& t : kHelpPage) {
        s.setColors(t.colour, app.backgroundColour);
        s.printAt(t.row, t.col, t.text);
    }
    for (const auto& o : kOutlines) s.drawBox(o.x1, o.y1, o.x2, o.y2, o.colour);
    s.unlock();
}

}  // namespace

void showHelp(App& app) {
    Screen& s = app.screen;
    s.fillBox(0, 0, 640, 480, app.backgroundColour);
    // The page is laid out for the normal view whatever view the browser is in.
    if (!s.setMode(640, 480)) return;
    placeWindow(app);
    setPaletteAndColours(app);
    s.fillBox(0, 0, 640, 480, app.backgroundColour);
    s.sleep(100);
    drawPage(app);

    for (;;) {
        s.sleep(40);
        s.setMouse(std::nullopt, std::nullopt, true);
        // pollKey takes the key off the queue: the closing key is used up.
        if (closingKey(s.pollKey())) break;
        if (onBack(s.pollMouse())) break;
    }
    s.setPages(0, 0);
    s.sleep(300);
}

}  // namespace kestrel
