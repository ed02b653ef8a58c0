#include "app/commands.h"

#include <initializer_list>

#include "app/cursor_moves.h"
#include "frame/drive_prompt.h"
#include "app/select.h"
#include "frame/status_message.h"
#include "frame/trim.h"
#include "app/search_mode.h"
#include "frame/browser_draw.h"
#include "fileops/buffer_commands.h"
#include "fileops/new_directory.h"
#include "fileops/zip_buffer.h"
#include "viewers/info_report.h"
#include "calc/calc_screen.h"
#include "disks/disks_screen.h"
#include "help/help_screen.h"

namespace kestrel {

namespace {

struct KeyMatch {
    bool extended;
    int code;      // upper-case character or scan code
    int alt = -1;  // a second character that means the same
    bool matches(Key k) const {
        if (extended) return k.isExt(code);
        const int c = k.upper();
        return c >= 0 && (c == code || c == alt);
    }
};

constexpr KeyMatch chr(int c, int alt = -1) { return {false, c, alt}; }
constexpr KeyMatch ext(int s) { return {true, s}; }

struct KeyRow {
    KeyMatch key;
    When when;
    Command command;
};

// Tested in this order; the first row whose key and condition match acts.
constexpr KeyRow kKeyTable[] = {
    {chr(ch::Esc), When::Always, Command::SaveExit},
    {chr(ch::Tab, ch::Enter), When::RootParent, Command::RootParentMessage},
    {chr(ch::Tab, ch::Enter), When::Always, Command::Select},
    {chr('>'), When::Always, Command::DrivePrompt},
    {chr('/'), When::Always, Command::NewDirectory},
    {chr('R'), When::Directory, Command::RemoveDirectory},
    {chr('R'), When::Always, Command::PickCheck},
    {chr('K'), When::Parent, Command::PickCheck},
    {chr('K'), When::File, Command::KillFile},
    {chr('X'), When::Parent, Command::PickCheck},
    {chr('X'), When::FileOrDirectory, Command::KillAll},
    {chr('C'), When::File, Command::CopyFile},
    {chr('C'), When::Directory, Command::CopyDirectory},
    {chr('P'), When::Parent, Command::PickCheck},
    {chr('P'), When::File, Command::Paste},
    {chr('L'), When::Always, Command::Disks},
    {chr('A'), When::File, Command::PasteAll},
    {chr('F'), When::Parent, Command::PickCheck},
    {chr('F'), When::FileOrDirectory, Command::Rename},
    {chr('?'), When::Always, Command::Search},
    {ext(scan::Down), When::CanGoDown, Command::Down},
    {ext(scan::Up), When::CanGoUp, Command::Up},
    {ext(scan::End), When::CanGoDown, Command::End},
    {ext(scan::Home), When::CanGoUp, Command::Home},
    {chr('N'), When::Always, Command::SortName},
    {chr('T'), When::Always, Command::SortType},
    {chr('S'), When::Always, Command::SortSize},
    {chr('D'), When::Always, Command::SortDate},
    {chr('B'), When::Always, Command::Background},
    {chr('@'), When::Always, Command::Centre},
    {chr('M'), When::Always, Command::ToggleView},
    {chr('I'), When::Parent, Command::PickCheck},
    {chr('I'), When::Always, Command::Info},
    {chr('H'), When::Always, Command::GoRoot},
    {ext(scan::F1), When::Always, Command::Help},
    {ext(scan::F2), When::Always, Command::Zip},
    {ext(scan::F3), When::Always, Command::Refresh},
    {chr('V'), When::Always, Command::ViewBuffer},
    {chr(ch::CtrlQ, 'Q'), When::Always, Command::BufferToggle},
    {chr(ch::CtrlW, 'W'), When::Always, Command::BufferGroup},
    {chr('Z'), When::Always, Command::BufferClear},
};

struct Choice {
    When when;
    Command command;
};

// A click target: the first target whose cell range holds the click acts,
// with the first of its choices whose condition holds (none: nothing).
struct ClickTarget {
    int row, firstCol, lastCol;
    std::initializer_list<Choice> choices;
};

const ClickTarget kClickTargets[] = {
    {1, 72, 80, {{When::Always, Command::SaveExit}}},
    {1, 1, 12, {{When::Always, Command::Select}}},
    {25, 3, 12, {{When::Always, Command::NewDirectory}}},
    {25, 14, 21, {{When::Always, Command::ToggleView}}},
    {25, 23, 30, {{When::Parent, Command::PickCheck}, {When::Always, Command::Info}}},
    {25, 32, 45, {{When::Always, Command::Background}}},
    {25, 47, 55, {{When::Directory, Command::RemoveDirectory}, {When::Always, Command::PickCheck}}},
    {25, 57, 69, {{When::Parent, Command::PickCheck}, {When::File, Command::KillFile}}},
    {25, 71, 78, {{When::Always, Command::Help}}},
    {26, 58, 69, {{When::Parent, Command::PickCheck}, {When::FileOrDirectory, Command::KillAll}}},
    {26, 71, 78, {{When::Always, Command::GoRoot}}},
    {26, 3, 10,
     {{When::Parent, Command::PickCheck}, {When::File, Command::CopyFile}, {When::Directory, Command::CopyDirectory}}},
    {26, 26, 34, {{When::Always, Command::Paste}}},
    {26, 36, 43, {{When::Always, Command::Disks}}},
    {26, 12, 24, {{When::Always, Command::PasteAll}}},
    {26, 45, 56, {{When::FileOrDirectory, Command::Rename}, {When::Parent, Command::PickCheck}}},
    {33, 83, 87, {{When::Always, Command::BufferClear}}},
    {33, 89, 93, {{When::Always, Command::ViewBuffer}}},
    {3, 2, 93, {{When::Always, Command::Refresh}}},
};

bool trimmedIsRoot(const std::string& path) { return trimSpaces(path) == "/"; }

Next pickCheck(App& app) {
    if (isParentRow(app.cursorEntryRow())) showStatus(app, StatusMessage::PickFileOrDirectory);
    return Next::Poll;
}

// The file commands start from the Select step, which names the entry.
Next selectFor(App& app, Pending command) {
    app.pending = command;
    return selectEntry(app);
}

// The browser's side of the disks screen: its directory is restored unless
// a partition was chosen, which the start-path step then lists.
Next disksStep(App& app) {
    Screen& s = app.screen;
    app.savedDirectoryPath = app.selectedPath;
    runDisksScreen(app, runCalculator);
    if (!app.startPathRequest) app.selectedPath = app.savedDirectoryPath;
    s.setPages(0, 0);
    s.sleep(20);
    s.setColors(0, app.backgroundColour);
    return app.startPathRequest ? Next::StartPathThenApplyView : Next::Reload;
}

Next sortBy(App& app, int mode) {
    app.SortList = mode;
    return Next::Reload;
}

}  // namespace

bool holds(const App& app, When when) {
    const std::string& row = app.cursorEntryRow();
    switch (when) {
        case When::Always: return true;
        case When::Parent: return isParentRow(row);
        case When::Directory: return isDirRow(row);
        case When::File: return isFileRow(row);
        case When::FileOrDirectory: return isFileRow(row) || isDirRow(row);
        case When::RootParent: return isParentRow(row) && trimmedIsRoot(app.selectedPath);
        case When::CanGoDown: return app.cursorIndex < app.lastIndex;
        case When::CanGoUp: return app.cursorIndex > 1;
    }
    return false;
}

std::optional<Command> commandForKey(const App& app, Key key) {
    for (const auto& row : kKeyTable)
        if (row.key.matches(key) && holds(app, row.when)) return row.command;
    return std::nullopt;
}

std::optional<Command> commandForClick(const App& app, Cell cell) {
    for (const auto& target : kClickTargets) {
        if (cell.row != target.row || cell.col < target.firstCol || cell.col > target.lastCol) continue;
        for (const auto& choice : target.choices)
            if (holds(app, choice.when)) return choice.command;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Next> act(App& app, Command command) {
    Screen& s = app.screen;
    switch (command) {
        case Command::SaveExit: return Next::Exit;
        case Command::Select:
            app.pending = Pending::None;
            return selectEntry(app);
        case Command::RootParentMessage:
            showMessage(app, "No parent directories beyond /");
            return Next::Poll;
        case Command::PickCheck: return pickCheck(app);
        case Command::DrivePrompt: return drivePrompt(app);
        case Command::Search: return runSearchMode(app);
        case Command::Disks: return disksStep(app);
        case Command::Down: return moveDown(app);
        case Command::Up: return moveUp(app);
        case Command::End: return moveEnd(app);
        case Command::Home: return moveHome(app);
        case Command::SortName: return sortBy(app, 1);
        case Command::SortType: return sortBy(app, 2);
        case Command::SortSize: return sortBy(app, 3);
        case Command::SortDate: return sortBy(app, 4);
        case Command::Background: ++app.BackGround; return Next::ApplyViewThenReload;
        case Command::ToggleView: app.BigSmall = 1 - app.BigSmall; return Next::ApplyViewThenReload;
        case Command::Centre:
            s.setWindowPosition(app.startPosition);
            app.placement = Placement::Start;
            return Next::Poll;
        case Command::GoRoot: app.selectedPath = "/root"; return Next::Reload;
        case Command::Help:
            showHelp(app);
            s.sleep(10);
            return Next::ApplyViewThenReload;
        case Command::Refresh:
            s.setPages(0, 0);
            s.setColors(0, app.backgroundColour);
            return Next::Reload;
        case Command::RemoveDirectory: return selectFor(app, Pending::RemoveDirectory);
        case Command::KillFile: return selectFor(app, Pending::KillFile);
        case Command::KillAll: return selectFor(app, Pending::KillAll);
        case Command::CopyFile: return selectFor(app, Pending::CopyFile);
        case Command::CopyDirectory: return selectFor(app, Pending::CopyDirectory);
        case Command::Paste: return selectFor(app, Pending::Paste);
        case Command::PasteAll: return selectFor(app, Pending::PasteAll);
        case Command::BufferToggle: return toggleCursorEntry(app);
        case Command::BufferGroup: return addRunToCursor(app);
        case Command::BufferClear: return clearBuffer(app);
        case Command::ViewBuffer: return viewBuffer(app);
        case Command::NewDirectory: return newDirectory(app);
        case Command::Rename:
            app.pending = Pending::Rename;
            return selectEntry(app);
        case Command::Info: return infoReport(app);
        case Command::Zip: return zipBuffer(app);
        default:
            // Commands whose screens Kestrel does not have yet.
            return std::nullopt;
    }
}

}  // namespace kestrel
