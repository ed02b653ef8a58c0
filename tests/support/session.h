#pragma once
// The whole program, headless on virtual time: a settings file in a fresh
// program directory, a script of input, and the screen to read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "frame/app_state.h"
#include "app/startup.h"
#include "frame/home_dir.h"
#include "frame/settings.h"
#include "extern/recording_runner.h"
#include "rig.h"
#include "temp_dir.h"

namespace kestrel::test {

// The real utilities for a session's hooks, refused (and the test failed) when Kestrel's working directory
// or an absolute path argument has left the tests' temporary root: a fault that wandered off to "/" must
// not get to run mv there. The tests run confined as well; this says which test went astray.
struct TempRootRunner final : Runner {
    static bool allowed(const std::string& what, const std::vector<std::string>& args = {}) {
        char cwd[4096];
        bool ok = getcwd(cwd, sizeof cwd) && insideTempRoot(cwd);
        for (const auto& a : args) ok = ok && (a.empty() || a[0] != '/' || insideTempRoot(a));
        if (!ok) ADD_FAILURE() << "refused outside the temporary root (working directory " << cwd << "): " << what;
        return ok;
    }
    std::unique_ptr<Child> launch(const Launch& l) override {
        const bool ok = l.shell ? allowed(l.program) : allowed(l.program, l.args);
        return ok ? real.launch(l) : std::make_unique<EndedChild>(l.shell ? RunResult::exited(127) : RunResult::notStarted());
    }
    RealRunner real;
};

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
    // A session starts only in its temporary root, unless it says it only reads elsewhere
    // (the list of "/"); what its hooks run for real goes through TempRootRunner either way.
    int run() {
        const std::string start = startPath();
        if (!readsOutside && !insideTempRoot(start)) {
            ADD_FAILURE() << "refused: a session that changes files must start in its temporary root, not in " << start;
            return -1;
        }
        const int status = runKestrel(app);
        EXPECT_EQ(rig.clock.pending(), 0u) << "Kestrel ended before the script did: its later steps and checks never ran";
        return status;
    }
    int quit() { return script.key(27), run(); }

    // Where Kestrel will start: the settings file's path line, else the home it falls back to.
    std::string startPath() const {
        const std::string path = readSettingsFile(programDir.path + "/Kestrel.cfg").path;
        return path.empty() ? homeDirectory() : path;
    }
    bool readsOutside = false;

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
