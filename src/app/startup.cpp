#include "app/startup.h"

#include <cmath>
#include <filesystem>

#include "app/main_loop.h"
#include "frame/home_dir.h"
#include "frame/settings.h"
#include "frame/settings_file.h"
#include "frame/colours.h"
#include "calc/calc_screen.h"

namespace kestrel {

namespace {

std::string workingDirectory() {
    std::error_code ec;
    const auto dir = std::filesystem::current_path(ec);
    return ec ? std::string() : dir.string();
}

}  // namespace

void startUp(App& app) {
    Screen& s = app.screen;
    app.degToRad = std::acos(-1.0) / 180.0;
    app.radToDeg = 180.0 / std::acos(-1.0);
    app.buffer = CopyKillBuffer{};
    app.BigSmall = 0;
    app.backgroundColour = 2;
    app.accentColour = 5;
    s.sleep(100);

    const SettingsText own = readSettingsText(settingsFilePath(app.exeDir));
    Settings cfg = parseSettings(own.text);
    // A shared install's settings stand in for the user's own not yet saved,
    // all but the path: another user's last directory is theirs.
    if (own.state == SettingsState::Missing && !app.defaultSettingsDir.empty()) {
        cfg = readSettingsFile(settingsFilePath(app.defaultSettingsDir));
        cfg.path.clear();
        cfg.line3.clear();
    }
    app.BigSmall = cfg.BigSmall;
    app.BackGround = cfg.BackGround;
    setColoursFromChoice(app);
    app.selectedPath = startPathFromSettings(cfg, workingDirectory());
    app.SortList = cfg.SortList;
    s.setColors(0, app.backgroundColour);
    app.startPath = app.selectedPath.empty() ? homeDirectory() : app.selectedPath;
    startPathStep(app);
}

void startPathStep(App& app) {
    app.startPathRequest = false;
    app.selectedPath = app.startPath;
}

bool applyView(App& app) {
    Screen& s = app.screen;
    s.setPages(0, 0);
    const bool opened = app.expanded() ? s.setMode(800, 600) : s.setMode(640, 480);
    if (!opened) return false;
    setPaletteAndColours(app);
    if (app.expanded()) drawCalculatorPanel(app);
    s.setTitle("Kestrel");
    s.setColors(0, app.backgroundColour);
    if (app.SortList == 0) app.SortList = 1;
    s.setMouse(320, 240, true);

    app.desktop = s.desktopSize();
    const Point at = s.windowPosition();
    const int d = app.expanded() ? 245 : 5, e = app.expanded() ? 393 : 216;
    const int right = app.desktop.x - at.x - d, bottom = app.desktop.y - at.y - e;
    app.targets[0] = {4, 4};
    app.targets[1] = {right, 4};
    app.targets[2] = {4, bottom};
    app.targets[3] = {right, bottom};
    app.startPosition = at;
    switch (app.placement) {
        case Placement::Dragged: s.setWindowPosition(app.draggedPosition); break;
        case Placement::Start: s.setWindowPosition(at); break;
        default: s.setWindowPosition(app.targets[static_cast<int>(app.placement) - 1]); break;
    }
    return true;
}

void saveSettings(App& app) {
    Screen& s = app.screen;
    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    s.locate(1, 1);
    s.setMouse(std::nullopt, std::nullopt, false);
    // The settle pauses between the lines are kept; the file itself is
    // replaced in one step so that it is never seen half written.
    for (int i = 0; i < 5; ++i) s.sleep(20);
    saveSettingsFile(settingsFilePath(app.exeDir),
                     formatSettings(app.BigSmall, app.BackGround, app.selectedPath, app.SortList));
}

int runKestrel(App& app) {
    startUp(app);
    if (!applyView(app)) return 1;
    return mainLoop(app);
}

}  // namespace kestrel
