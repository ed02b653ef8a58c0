#pragma once
// Kestrel's application state: one struct, created in main and passed by
// reference to every screen.
#include <cstdint>
#include <string>
#include <vector>

#include "frame/calc_panel.h"
#include "frame/calc_state.h"
#include "dirlist/dir_list.h"
#include "extern/runner.h"
#include "frame/copy_kill_buffer.h"
#include "frame/copy_selection.h"
#include "screen/press_repeat.h"
#include "screen/screen.h"

namespace kestrel {

enum class Pending { None, RemoveDirectory, KillFile, KillAll, CopyDirectory, CopyFile, Paste, PasteAll, Rename };

// Where the main loop goes next; every screen returns one of these.
enum class Next { Reload, ApplyViewThenReload, StartPathThenApplyView, Poll, Exit };

enum class SearchButton { None, Find, Next };

struct SearchState {
    std::string text;
    int startOnly = 0;
    int position = 0;
    SearchButton lastButton = SearchButton::None;
    bool active = false;
};

enum class Placement { Start = 0, TopLeft = 1, TopRight = 2, BottomLeft = 3, BottomRight = 4, Dragged = 5 };

// The runner of a Kestrel that runs outside programs for real.
inline Runner& processRunner() {
    static RealRunner runner;
    return runner;
}

struct App {
    explicit App(Screen& s, std::string programDir, Runner& r = processRunner())
        : screen(s), exeDir(std::move(programDir)), runner(r) {}

    Screen& screen;
    std::string exeDir;  // holds Kestrel.cfg and the report files
    // A shared install's Kestrel.cfg, read for view, background and sort when
    // exeDir (the user's own directory) has none yet; empty otherwise.
    std::string defaultSettingsDir;
    Runner& runner;      // every shell line and program Kestrel starts

    // View and colours.
    int BigSmall = 0;
    int BackGround = 0;
    int SortList = 1;
    int backgroundColour = 2;
    int accentColour = 5;

    // Paths.
    std::string selectedPath;
    std::string savedDirectoryPath;
    std::string startPath;
    std::string previousPath;  // the file the viewer showed last
    bool startPathRequest = false;

    // The listing and the cursor over it.
    DirList list;
    int lastIndex = 1;
    int cursorIndex = 1;
    int cursorRow = 1;
    int activeScreen = 1;

    CopyKillBuffer buffer;
    CopySelection copySelection;

    // Window placement.
    Placement placement = Placement::Start;
    Point startPosition;
    Point targets[4];  // top-left, top-right, bottom-left, bottom-right
    Point draggedPosition;
    Point desktop;

    // Mouse as the main loop last saw it.
    int lastWheel = 0;
    MouseState kept;
    // The browser's held-button moves (navigation buttons, scroll areas):
    // a click moves once, a longer hold keeps moving.
    PressRepeat navPress, scrollPress;
    bool leftFlag = false;
    bool rightFlag = false;
    // Input::changes at the start of the last poll cycle, and how many cycles
    // in a row began with nothing new: the idle browser rests after two.
    std::uint64_t cycleChanges = 0;
    int quietCycles = 0;

    Pending pending = Pending::None;
    // The viewer labels its file as text (the information report) rather
    // than binary (everything else); the viewer sets it back when it closes.
    bool formatLabelText = false;
    // Shared by every blinking prompt, so a prompt opened right after
    // another keeps the same rhythm instead of flashing at once.
    std::int64_t blinkDeadlineMs = 0;
    // Paste-all and kill-all: 0 files only, 1 files and directories.
    int optionsToggle = 0;
    SearchState search;
    double degToRad = 0, radToDeg = 0;
    // The calculator's arithmetic state and record (it holds its own
    // CalcBuffer), and its panel's screen state.
    calc::CalcState calc;
    calc::CalcPanel calcPanel;

    bool expanded() const { return BigSmall == 1; }
    const std::string& cursorEntryRow() const { return list.row(cursorIndex); }
};

}  // namespace kestrel
