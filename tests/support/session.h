#pragma once
// The whole program, headless on virtual time: a settings file in a fresh
// program directory, a script of input, and the screen to read back.
#include <string>

#include "frame/app_state.h"
#include "app/startup.h"
#include "extern/recording_runner.h"
#include "rig.h"
#include "temp_dir.h"

namespace kestrel::test {

struct Session {
    TempDir programDir;
    TempDir dir;  // the directory Kestrel lists, unless a test names another
    Rig rig;
    RecordingRunner runner;  // records every line and program; set its hooks to run them for real
    App app{rig.screen, programDir.path, runner};
    Script& script = rig.script;

    void settings(int bigSmall, int backGround, const std::string& path, int sortList) {
        programDir.file("Kestrel.cfg", std::to_string(bigSmall) + " BigSmall\n" + std::to_string(backGround) +
                                           " BackGround\n" + path + "\n" + std::to_string(sortList) + " SortList\n");
    }
    // Kestrel on `path` (default `dir`) in the ordinary view; the script stands one second in.
    Script& browse(const std::string& path = "", int sortList = 1) {
        settings(0, 0, path.empty() ? dir.path : path, sortList);
        return script.wait(1000);
    }
    // Runs Kestrel until it exits (the script must end it), or after an Esc; the exit status.
    int run() { return runKestrel(app); }
    int quit() { return script.key(27), run(); }

    Screen& screen() { return rig.screen; }
    std::string row(int r) { return readRow(rig.screen, r); }
    CellRead cell(int r, int c) { return readCell(rig.screen, rig.screen.visiblePage(), r, c); }
    // The name column of panel row p (screen row p + 4), trailing blanks cut.
    std::string listName(int p) {
        std::string t = readText(rig.screen, rig.screen.visiblePage(), p + 4, 2, 37);
        return t.substr(0, t.find_last_not_of(' ') + 1);
    }
};

}  // namespace kestrel::test
