#include "fileops/rename_entry.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "frame/confirm.h"
#include "frame/dialog.h"
#include "frame/line_input.h"
#include "frame/outside_program.h"
#include "extern/quote.h"

namespace kestrel {

namespace {

std::string entryNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void openRenamePanel(App& app, const std::string& fullPath, const std::string& name) {
    Screen& s = app.screen;
    openDialogPanel(app, PanelDelay::Settle);
    printCentred(s, 25, 40, "Rename " + fullPath);
    drawYesNoButtons(s);
    drawLineInputEcho(app, LineInputKind::Rename, name, "");
}

constexpr const char* kRenameFailed = "Rename failed";

// mv resolves the bare new name in the working directory; the listing put
// us there, but make sure, so the entry can only ever keep its directory.
void renameInDirectory(App& app, const std::string& directory, const std::string& fullPath,
                       const std::string& newName) {
    if (::chdir(directory.c_str()) != 0) return showFailure(app, kRenameFailed, std::strerror(errno));
    if (nameTaken(".", newName)) {
        struct stat st;
        const bool there = ::lstat(newName.c_str(), &st) == 0;  // else it could not be looked at
        return showFailure(app, "Not renamed", there ? newName + " is already taken" : std::string(std::strerror(errno)));
    }
    const ProgramEnd end = runProgram(app, Launch::shellLine(renameLine(fullPath, newName)));
    if (end.failed()) showFailure(app, kRenameFailed, failureReason(end));
}

}  // namespace

std::string renameLine(const std::string& fullPath, const std::string& newName) {
    return commandLine({Arg::literal("mv"), Arg::word(fullPath), Arg::word(newName)});
}

bool nameTaken(const std::string& directory, const std::string& name) {
    struct stat st;
    return ::lstat((directory + "/" + name).c_str(), &st) == 0 || errno != ENOENT;
}

Next renameEntry(App& app) {
    Screen& s = app.screen;
    const std::string fullPath = app.selectedPath;
    const std::string name = entryNameOf(fullPath);
    openRenamePanel(app, fullPath, name);
    const auto newName = lineInput(app, LineInputKind::Rename, name);
    if (!newName) return cancelToBrowser(app);
    renameInDirectory(app, app.savedDirectoryPath, fullPath, *newName);
    app.selectedPath = app.savedDirectoryPath;
    s.sleep(50);
    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    return Next::Reload;
}

}  // namespace kestrel
