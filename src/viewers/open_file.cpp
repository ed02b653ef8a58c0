#include "viewers/open_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include "frame/status_message.h"
#include "frame/outside_program.h"
#include "frame/text_file.h"
#include "extern/programs.h"
#include "extern/quote.h"
#include "viewers/viewer.h"

namespace kestrel {

namespace {


// Without a fresh report the file counts as not executable.
bool isExecutable(App& app, const std::string& path) {
    const std::string report = app.exeDir + "/ELF.txt";
    if (!discardFile(report)) return false;
    runShellLine(app, fileTestLine(path, report));
    app.screen.sleep(100);
    return describesExecutable(readTextFile(report));
}

Next backToDirectory(App& app, int sleepMs) {
    app.selectedPath = app.savedDirectoryPath;
    app.screen.sleep(sleepMs);
    return Next::Reload;
}

Next runExecutable(App& app, const std::string& path) {
    Screen& s = app.screen;
    showPlaced(app, kExecutableRunning);
    s.flush();
    const RunResult result = runProgram(app, Launch::direct(path, {})).result;
    if (!result.succeeded()) {
        showPlaced(app, kUnableToRun);
    }
    return backToDirectory(app, 50);
}

// Runs the program of the path's extension group, if it has one, and waits.
void openWithAssociatedProgram(App& app, const std::string& path, bool showWaiting) {
    Screen& s = app.screen;
    const int bg = app.backgroundColour;
    if (showWaiting) {
        showPlaced(app, kWaitingForProgram);
        s.setColors(0, bg);
    }
    // Extensions of different groups never share a suffix, so the first
    // group that matches is the only one.
    if (const auto group = programFor(path)) {
        s.printAt(27, 2, group->shownName);
        s.locate(28, 2);
        s.printText(path);
        s.flush();
        runShellLine(app, openWithLine(group->program, path));
        s.sleep(20);
    }
    if (showWaiting) clearWaitingForProgram(app);
}

}  // namespace

bool describesExecutable(const std::string& fileReport) {
    return fileReport.find("ELF") != std::string::npos && fileReport.find("LSB executable") != std::string::npos;
}

std::string fileTestLine(const std::string& path, const std::string& reportPath) {
    return commandLine({Arg::literal("file -b"), Arg::word(path), Arg::literal(">"), Arg::word(reportPath)});
}

std::string openWithLine(std::string_view program, const std::string& path) {
    return commandLine({Arg::literal(program), Arg::word(path)});
}

Next openFile(App& app, ExecutableChooser choose) {
    const std::string path = app.selectedPath;
    bool showWaiting = true;
    if (path.find('.') == std::string::npos && isExecutable(app, path)) {
        bool viewByMouse = false;
        switch (choose(app, path, &viewByMouse)) {
            case ExecChoice::Run: return runExecutable(app, path);
            // The chooser has already rested 50 ms when Cancel came by key.
            case ExecChoice::Cancel: return backToDirectory(app, 0);
            case ExecChoice::View: showWaiting = !viewByMouse; break;
        }
    }
    openWithAssociatedProgram(app, path, showWaiting);
    app.formatLabelText = false;
    return runViewer(app);
}

}  // namespace kestrel
