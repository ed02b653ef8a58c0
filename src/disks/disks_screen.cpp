#include "disks/disks_screen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "frame/browser_draw.h"
#include "frame/outside_program.h"
#include "frame/text_file.h"
#include "frame/window_drag.h"
#include "disks/disk_lines.h"
#include "disks/disks_draw.h"
#include "disks/drive_report.h"
#include "disks/list_window.h"
#include "screen/nav_widgets.h"
#include "screen/press_repeat.h"

namespace kestrel {

namespace {

constexpr int kHiddenPage = 4;
constexpr int kNoticeMs = 3000;
// No report of lsblk or df comes near this; a report file that is a link to
// an endless device must not fill the memory.
constexpr size_t kMaxReportBytes = 4u << 20;

enum class DiskCommand { Mount, Unmount, View, Refresh, Leave, Down, Up, Home, End, Centre };

struct KeyRow {
    bool extended;
    int code;  // upper-case character or scan code
    DiskCommand command;
};

constexpr KeyRow kKeys[] = {
    {false, 'M', DiskCommand::Mount},       {false, 'U', DiskCommand::Unmount},
    {false, ch::Enter, DiskCommand::View},  {false, ch::Tab, DiskCommand::View},
    {false, 'D', DiskCommand::Refresh},     {false, ch::Esc, DiskCommand::Leave},
    {true, scan::Down, DiskCommand::Down},  {true, scan::Up, DiskCommand::Up},
    {true, scan::Home, DiskCommand::Home},  {true, scan::End, DiskCommand::End},
    {false, '@', DiskCommand::Centre},
};

constexpr int kLeft = 1, kRight = 2, kEither = 3;

struct ClickRow {
    int buttons;  // which buttons reach it
    int row, firstCol, lastCol;
    DiskCommand command;
    int pauseMs;  // before the command acts
};

// Tested in this order; the first match acts.
constexpr ClickRow kClicks[] = {
    {kLeft, 3, 49, 62, DiskCommand::View, 200},      {kLeft, 3, 65, 69, DiskCommand::Mount, 200},
    {kLeft, 3, 72, 78, DiskCommand::Unmount, 200},   {kEither, 1, 1, 12, DiskCommand::View, 0},
    {kEither, 1, 72, 80, DiskCommand::Leave, 50},    {kLeft, 29, 41, 47, DiskCommand::Refresh, 200},
    {kLeft, 29, 60, 62, DiskCommand::Leave, 50},     {kLeft, 29, 50, 51, DiskCommand::Up, 150},
    {kRight, 29, 50, 51, DiskCommand::Up, 0},        {kLeft, 29, 54, 57, DiskCommand::Down, 150},
    {kRight, 29, 54, 57, DiskCommand::Down, 0},      {kEither, 29, 65, 68, DiskCommand::Home, 0},
    {kEither, 29, 71, 73, DiskCommand::End, 0},
};

enum class Step { Stay, Leave };

struct Disks {
    App& app;
    void (*openCalculator)(App&);
    DriveReport report;
    ListWindow window;
    // A hand's click acts once; a longer hold repeats. The press that opened
    // the screen (the List button) is not a click on it.
    PressRepeat press;

    int count() const { return static_cast<int>(report.devices.size()); }
    const Device* selected() const {
        const int i = window.index;
        return i >= 1 && i <= count() ? &report.devices[static_cast<size_t>(i - 1)] : nullptr;
    }
};

// The report as the shell left it: a regular file only, and only so much.
std::string readReport(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char buffer[65536];
        ssize_t n;
        while (text.size() < kMaxReportBytes && (n = ::read(fd, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return text;
}

// Messages stay their whole time: keys typed meanwhile wait for the screen.
void pause(Screen& s, int ms) {
    for (int t = 0; t < ms; t += 50) s.sleep(50);
}

void cursorStep(Disks& d) {
    drawDeviceLines(d.app, d.report, d.window);
    drawSelection(d.app, d.selected(), d.report.usageHeader);
    drawDeviceCount(d.app, d.count());
}

void moveTo(Disks& d, ListWindow to) {
    if (to == d.window) return;
    d.window = to;
    cursorStep(d);
}

Step refresh(Disks& d) {
    App& app = d.app;
    Screen& s = app.screen;
    clearMessageBox(app);
    // A report the shell could not rewrite must not pass for a fresh one:
    // one that cannot be cleared is not read at all.
    const bool drivesFresh = discardFile(app.exeDir + "/drives.txt");
    const bool freeFresh = discardFile(app.exeDir + "/free.txt");
    const auto lines = refreshLines(app.exeDir);
    runShellLine(app, lines[0]);
    s.sleep(50);
    runShellLine(app, lines[1]);
    s.sleep(50);
    s.sleep(50);
    runShellLine(app, lines[2]);
    s.sleep(50);
    d.report = parseDrives(drivesFresh ? readReport(app.exeDir + "/drives.txt") : std::string());
    if (d.report.found) {
        drawDrivesHeader(app, d.report.header);
        joinUsage(d.report, freeFresh ? readReport(app.exeDir + "/free.txt") : std::string());
    }
    // The composed page is shown before any message, so a person sees it.
    s.copyPage(s.workPage(), 0);
    s.setPages(0, 0);
    s.setMouse(std::nullopt, std::nullopt, true);
    if (!d.report.found) {
        s.setColors(4, app.accentColour);
        s.printAt(5, 2, "List not found.");
        pause(s, kNoticeMs);
        return Step::Leave;
    }
    d.window = windowHome();
    cursorStep(d);
    return Step::Stay;
}

// A notice on `row` for three seconds, then the list is read again.
Step noticeThenRefresh(Disks& d, int row, const std::string& text) {
    printNotice(d.app, row, text);
    pause(d.app.screen, kNoticeMs);
    clearTextRow(d.app, row);
    return refresh(d);
}

// " ( Yes ) ( No ) " and the command on row 25; true for yes.
bool confirmed(Disks& d, const std::string& shown) {
    App& app = d.app;
    Screen& s = app.screen;
    clearTextRow(app, 25);
    s.locate(25, 2);
    s.printText(" ( Yes ) ( No ) " + shown, 78);
    s.setColors(4, app.backgroundColour);
    s.printAt(25, 5, "Yes");
    s.printAt(25, 13, "No");
    s.setColors(0, app.backgroundColour);
    for (;;) {
        const Key k = s.pollKey();
        if (k.upper() == 'Y') return true;
        if (k.upper() == 'N' || k.isChar(ch::Esc)) {
            s.sleep(150);
            return false;
        }
        const MouseState m = s.pollMouse();
        if (m.valid && (m.buttons & kEither) && m.cell().row == 25) {
            const int col = m.cell().col;
            if (col >= 4 && col <= 9) {
                s.sleep(50);
                return true;
            }
            if (col >= 12 && col <= 16) {
                s.sleep(50);
                return false;
            }
        }
        s.sleep(20);
    }
}

Step runConfirmed(Disks& d, const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        runShellLine(d.app, line);
        d.app.screen.sleep(300);
    }
    clearTextRow(d.app, 25);
    return refresh(d);
}

Step mount(Disks& d) {
    const Device* dev = d.selected();
    clearTextRow(d.app, 25);
    if (dev && dev->type == "disk") return noticeThenRefresh(d, 25, "Disks can not be Mounted only Partitions.");
    if (!dev || dev->name.empty() || dev->type.empty()) return noticeThenRefresh(d, 25, "Nothing Selected");
    if (!dev->mountPoint.empty()) return noticeThenRefresh(d, 25, "Already Mounted");
    const auto lines = mountLines(dev->name);
    if (!confirmed(d, lines[1])) return refresh(d);
    return runConfirmed(d, lines);
}

// Partitions the running system stands on are never unmounted from here.
bool isPrimary(const std::string& mountPoint) {
    return mountPoint == "/" || mountPoint.starts_with("/init") || mountPoint.starts_with("/boot");
}

Step unmount(Disks& d) {
    const Device* dev = d.selected();
    clearTextRow(d.app, 25);
    if (dev && dev->type == "disk") return noticeThenRefresh(d, 25, "Disks can not be Mounted only Partitions.");
    if (!dev || dev->name.empty() || dev->type.empty()) return noticeThenRefresh(d, 25, "Nothing Selected");
    if (isPrimary(dev->mountPoint)) return noticeThenRefresh(d, 25, "Primary Partition");
    if (dev->mountPoint.empty()) return noticeThenRefresh(d, 25, "Already UnMounted");
    if (!confirmed(d, unmountShown(dev->name))) return refresh(d);
    return runConfirmed(d, unmountLines(dev->name));
}

Step view(Disks& d) {
    App& app = d.app;
    const Device* dev = d.selected();
    if (!dev || dev->name.empty()) return noticeThenRefresh(d, 27, "Nothing Selected.");
    if (!isViewableMountPoint(dev->mountPoint)) return noticeThenRefresh(d, 27, "No Mount Point.");
    if (dev->type == "part") {
        app.startPath = dev->mountPoint.starts_with("/init") ? "/root" : dev->mountPoint;
        app.startPathRequest = true;
    }
    return Step::Leave;
}

Step act(Disks& d, DiskCommand command) {
    Screen& s = d.app.screen;
    switch (command) {
        case DiskCommand::Mount: return mount(d);
        case DiskCommand::Unmount: return unmount(d);
        case DiskCommand::View: return view(d);
        case DiskCommand::Refresh: return refresh(d);
        case DiskCommand::Leave: s.sleep(50); return Step::Leave;
        case DiskCommand::Down: moveTo(d, windowDown(d.window, d.count())); break;
        case DiskCommand::Up: moveTo(d, windowUp(d.window)); break;
        case DiskCommand::Home: moveTo(d, windowHome()); break;
        case DiskCommand::End: moveTo(d, windowEnd(d.window, d.count())); break;
        case DiskCommand::Centre:
            s.setWindowPosition(d.app.startPosition);
            d.app.placement = Placement::Start;
            break;
    }
    return Step::Stay;
}

std::optional<DiskCommand> commandForKey(Key k) {
    for (const auto& row : kKeys)
        if (row.extended ? k.isExt(row.code) : k.upper() == row.code) return row.command;
    return std::nullopt;
}

std::optional<Step> click(Disks& d, const MouseState& m) {
    const Cell c = m.cell();
    const int held = m.buttons & kEither;
    for (const auto& t : kClicks) {
        if ((held & t.buttons) == 0 || c.row != t.row || c.col < t.firstCol || c.col > t.lastCol) continue;
        if (t.pauseMs > 0) d.app.screen.sleep(t.pauseMs);
        return act(d, t.command);
    }
    // Only the lines of the window hold rows a person can see.
    if ((held & kLeft) && c.row >= 5 && c.row <= 23 && c.col >= 1 && c.col <= 79)
        moveTo(d, windowClick(d.window, d.count(), c.row - 4));
    return std::nullopt;
}

Step mousePass(Disks& d) {
    App& app = d.app;
    Screen& s = app.screen;
    if (app.expanded()) drawClock(app);
    const MouseState m = s.pollMouse();
    if (!m.valid) {
        s.sleep(30);
        return Step::Stay;
    }
    if (m.wheel < app.lastWheel) {
        app.lastWheel = m.wheel;
        moveTo(d, windowDown(d.window, d.count()));
    } else if (m.wheel > app.lastWheel) {
        app.lastWheel = m.wheel;
        moveTo(d, windowUp(d.window));
    }
    drawDeviceCount(app, d.count());
    // The calculator takes over while the pointer is over its panel (no click
    // needed), then the list is drawn again.
    if (app.expanded() && m.x > 640 && m.y < 480) {
        d.openCalculator(app);
        cursorStep(d);
        return Step::Stay;
    }
    if (!d.press.acts(m.buttons & kEither, s.nowMs())) {
        s.sleep(30);
        return Step::Stay;
    }
    if (m.buttons & kLeft) {
        const int square = padSquareAt(m.x - 90, m.y, 50);
        if (square >= 0) {
            s.setWindowPosition(square == 0 ? app.startPosition : app.targets[square - 1]);
            app.placement = static_cast<Placement>(square);
        }
    }
    if (auto step = click(d, m)) return *step;
    s.sleep(30);
    return Step::Stay;
}

Step pollPass(Disks& d) {
    dragWindow(d.app);
    const Key k = d.app.screen.pollKey();
    d.app.screen.sleep(20);
    if (auto command = commandForKey(k)) return act(d, *command);
    return mousePass(d);
}

}  // namespace

void runDisksScreen(App& app, void (*openCalculator)(App&)) {
    Screen& s = app.screen;
    app.startPathRequest = false;
    // A listed partition would stay busy while it is Kestrel's working
    // directory, and its unmount would then only be lazy; every way back
    // lists the browser's directory again.
    if (::chdir("/") != 0) {
    }
    s.setMouse(std::nullopt, std::nullopt, false);
    const int visible = s.visiblePage();
    s.setPages(kHiddenPage, visible);
    app.activeScreen = 2;
    s.sleep(50);
    s.copyPage(visible, kHiddenPage);
    s.sleep(50);
    drawDisksFrame(app);
    Disks d{app, openCalculator, {}, {}, {}};
    if (const MouseState m = s.peekMouse(); m.valid) {
        app.lastWheel = m.wheel;
        d.press.begin(m);
    }
    Step step = refresh(d);
    while (step == Step::Stay) step = pollPass(d);

    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    s.setMouse(320, 240, true);
    s.sleep(100);
}

}  // namespace kestrel
