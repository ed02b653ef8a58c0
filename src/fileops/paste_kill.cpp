#include "fileops/paste_kill.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "frame/browser_draw.h"
#include "frame/text_file.h"
#include "frame/confirm.h"
#include "frame/status_message.h"
#include "extern/quote.h"
#include "fileops/buffer_commands.h"
#include "fileops/paste_checks.h"
#include "fileops/paste_guard.h"
#include "fileops/progress.h"
#include "fileops/utility_run.h"

namespace kestrel {

namespace {

// What a confirmed paste-all or kill-all acts on.
enum class Scope { Files, FilesAndDirectories, Buffer };

constexpr int kOptionsSettleMs = 300;

const std::string& currentDirectory(const App& app) { return app.savedDirectoryPath; }

void printCut(Screen& s, int row, int col, const std::string& text, size_t width) {
    s.locate(row, col);
    s.printText(text, static_cast<int>(width));
}

Next reloadDirectory(App& app) {
    app.selectedPath = currentDirectory(app);
    app.screen.sleep(50);
    return Next::Reload;
}

Next refreshBrowser(App& app) {
    Screen& s = app.screen;
    app.selectedPath = currentDirectory(app);
    s.sleep(50);
    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    return Next::Reload;
}

void showCopySelection(App& app) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, std::string(78, ' '));
    s.printAt(28, 2, std::string(75, ' '));
    printCut(s, 27, 2, app.copySelection.sourceDirectory, 78);
    printCut(s, 28, 2, app.copySelection.sourceFile, 75);
}

Next mustFirstCopy(App& app) {
    showStatus(app, StatusMessage::MustFirstCopy);
    showCopySelection(app);
    app.screen.setColors(0, app.backgroundColour);
    // The Select step left the Selected path on the entry; the browser's
    // next command must start from the directory again.
    app.selectedPath = currentDirectory(app);
    return Next::Poll;
}

// Rows 25 and 27 of a four-button panel, before a new question and line.
void blankQuestionAndLine(Screen& s) {
    s.setColors(1, 15);
    s.printAt(25, 21, std::string(37, ' '));
    s.printAt(27, 2, std::string(78, ' '));
}

void writeRecord(App& app, const char* name, const std::string& line) {
    writeFreshTextFile(app.exeDir + "/" + name, line + "\n");
}

void pleaseWait(App& app) {
    showPlaced(app, kPleaseWait);
    app.screen.flush();
}

// The question and line of paste-all for the files-only or the recursive copy.
std::string askPasteAll(App& app, Scope scope, bool firstTime) {
    Screen& s = app.screen;
    const bool recursive = scope == Scope::FilesAndDirectories;
    if (recursive) s.printAt(25, 23, "Paste all Files and Directories?");
    else s.printAt(25, 31, firstTime ? "Paste all Files ?" : "Paste all Files?");
    return pasteAllLine(app.copySelection.sourceDirectory, currentDirectory(app), recursive);
}

std::string askKillAll(App& app, Scope scope) {
    Screen& s = app.screen;
    const bool recursive = scope == Scope::FilesAndDirectories;
    if (recursive) s.printAt(25, 25, "Kill all Files and Directories?");
    else s.printAt(25, 32, "Kill all Files?");
    return killAllLine(currentDirectory(app), recursive);
}

constexpr const char* kPasteFailed = "Paste failed";
constexpr const char* kKillFailed = "Kill failed";

// The second error line of a failed directory removal: the advice for a
// directory that holds files, else what stood in the way, centred alike.
std::string whyNotRemoved(const std::string& path, int error) {
    const std::string advice = kRemoveFilesInDirectory.text;
    struct stat st{};
    std::string why;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) why = "It is a link to a Directory";
    else if (error == ENOTEMPTY || error == EEXIST) return advice;
    else why = std::strerror(error);
    why = why.substr(0, advice.size());
    why = std::string((advice.size() - why.size()) / 2, ' ') + why;
    why.resize(advice.size(), ' ');
    return why;
}

Scope scopeOfToggle(const App& app) { return app.optionsToggle == 1 ? Scope::FilesAndDirectories : Scope::Files; }

Next runPasteAll(App& app, Scope scope) {
    const std::string& dir = currentDirectory(app);
    app.screen.setMouse(320, 240, true);
    const bool recursive = scope == Scope::FilesAndDirectories;
    const PastePlan plan = planPaste(
        scope == Scope::Buffer ? app.buffer.filePaths() : everyEntryOf(app.copySelection.sourceDirectory, scope == Scope::Files),
        dir, recursive);
    if (!plan.refused.empty()) return refuseCopy(app, plan.refused);
    if (!plan.clashes.empty()) {
        if (!askReplace(app, plan.clashes)) return cancelToBrowser(app);
        unlinkClashingLinks(plan.clashes);
    }
    if (scope == Scope::Buffer) {
        writeRecord(app, "cp_buffer.txt", pasteBufferLine(plan.sources, dir));
        app.screen.sleep(50);
    }
    pleaseWait(app);
    ProgressWatch watch = copyWatch(app, plan.sources, dir, recursive);
    const ProgramEnd end = runCopy(app, recursive, plan.sources, dir, &watch, scope == Scope::Files);
    const Next next = refreshBrowser(app);
    if (end.failed()) showFailure(app, kPasteFailed, failureReason(end));
    sayLeftOut(app, plan.vanished);
    return next;
}

// Removes what the plan keeps, watching the progress, then reloads and says
// what failed or was left out.
Next runKillPlan(App& app, const KillPlan& plan, bool recursive) {
    ProgressWatch watch = removeWatch(app, plan.paths, recursive);
    const ProgramEnd end = runRemove(app, recursive, plan.paths, &watch);
    const Next next = refreshBrowser(app);
    if (end.failed()) showFailure(app, kKillFailed, failureReason(end));
    sayLeftOut(app, plan.vanished, plan.otherFileSystem);
    return next;
}

Next runKillAll(App& app, Scope scope) {
    Screen& s = app.screen;
    s.setMouse(320, 240, true);
    const bool recursive = scope == Scope::FilesAndDirectories;
    // The paths are taken before the buffer is emptied.
    const KillPlan plan =
        planKill(scope == Scope::Buffer ? app.buffer.filePaths() : everyEntryOf(currentDirectory(app)), recursive);
    if (scope == Scope::Buffer) {
        writeRecord(app, "Kl_buffer.txt", killBufferLine(plan.paths));
        s.sleep(20);
        app.buffer.clear();
        showClearedCount(app);
        s.sleep(50);
    }
    pleaseWait(app);
    return runKillPlan(app, plan, recursive);
}

}  // namespace

std::optional<Next> runPendingFileCommand(App& app, Pending command) {
    switch (command) {
        case Pending::CopyFile: return makeCopySelection(app, false);
        case Pending::CopyDirectory: return makeCopySelection(app, true);
        case Pending::Paste: return paste(app);
        case Pending::PasteAll: return pasteAll(app);
        case Pending::KillAll: return killAll(app);
        case Pending::KillFile: return killFile(app);
        case Pending::RemoveDirectory: return removeDirectory(app);
        default: return std::nullopt;
    }
}

Next makeCopySelection(App& app, bool directory) {
    CopySelection& sel = app.copySelection;
    sel.sourceDirectory = directory ? app.selectedPath : currentDirectory(app);
    sel.sourceFile = directory ? std::string() : app.selectedPath;
    showCopySelection(app);
    sel.copiedEntryPath = app.selectedPath;
    app.selectedPath = currentDirectory(app);
    app.screen.sleep(50);
    return Next::Poll;
}

Next paste(App& app) {
    const CopySelection& sel = app.copySelection;
    if (sel.sourceFile.empty()) return mustFirstCopy(app);
    const std::string& dir = currentDirectory(app);
    const PastePlan plan = planPaste({sel.sourceFile}, dir, false);
    if (!plan.refused.empty()) return refuseCopy(app, plan.refused);
    Screen& s = app.screen;
    if (!plan.clashes.empty()) {
        if (!askReplace(app, plan.clashes)) return cancelToBrowser(app);
        s.setPages(0, 0);
        unlinkClashingLinks(plan.clashes);
    }
    pleaseWait(app);
    ProgressWatch watch = copyWatch(app, {sel.sourceFile}, dir, false);
    const ProgramEnd end = runCopy(app, false, {sel.sourceFile}, dir, &watch);
    if (end.failed()) showFailure(app, kPasteFailed, failureReason(end));
    s.setColors(0, app.backgroundColour);
    printCut(s, 28, 2, sel.copiedEntryPath + ", " + dir, 78);
    return reloadDirectory(app);
}

Next pasteAll(App& app) {
    Screen& s = app.screen;
    const bool haveDirectory = !app.copySelection.sourceDirectory.empty();
    for (;;) {  // " No Buffer Files." starts over from here
        app.optionsToggle = 0;
        if (!haveDirectory && app.buffer.count == 0) return mustFirstCopy(app);
        app.selectedPath = currentDirectory(app);
        openFourButtonPanel(app);
        Scope scope = Scope::Files;
        std::string line;
        bool askBuffer = !haveDirectory;
        if (haveDirectory) line = askPasteAll(app, scope, true);
        bool again = false;
        while (!again) {
            if (askBuffer) {
                askBuffer = false;
                blankQuestionAndLine(s);
                if (app.buffer.count == 0) {
                    showPlaced(app, kNoBufferFiles);
                    again = true;
                    continue;
                }
                s.printAt(25, 31, "Paste Buffer Files?");
                line = "cp BufferFiles " + shellQuote(currentDirectory(app));
                scope = Scope::Buffer;
            }
            showFourButtonChoices(app, line, kPasteBufferLabel);
            switch (confirm(app, Confirmation::PasteAll)) {
                case Answer::Yes: return runPasteAll(app, scope);
                case Answer::Options:
                    if (!haveDirectory) {
                        // There is no directory to copy: the line would
                        // copy the contents of "/". The choice is ignored.
                        app.optionsToggle = 0;
                    } else {
                        blankQuestionAndLine(s);
                        scope = scopeOfToggle(app);
                        line = askPasteAll(app, scope, false);
                    }
                    s.sleep(kOptionsSettleMs);
                    break;
                case Answer::Buffer: askBuffer = true; break;
                default: return cancelToBrowser(app);
            }
        }
    }
}

Next killAll(App& app) {
    Screen& s = app.screen;
    for (;;) {  // " No Buffer Files." starts over from here
        app.selectedPath = currentDirectory(app);
        openFourButtonPanel(app);
        showPlaced(app, kCaution);
        s.setColors(1, 15);
        Scope scope = Scope::Files;
        std::string line = askKillAll(app, scope);
        bool again = false;
        while (!again) {
            showFourButtonChoices(app, line, kKillBufferLabel);
            switch (confirm(app, Confirmation::KillAll)) {
                case Answer::Yes: return runKillAll(app, scope);
                case Answer::Options:
                    blankQuestionAndLine(s);
                    scope = scopeOfToggle(app);
                    line = askKillAll(app, scope);
                    s.sleep(kOptionsSettleMs);
                    break;
                case Answer::Buffer:
                    blankQuestionAndLine(s);
                    if (app.buffer.count == 0) {
                        showPlaced(app, kNoBufferFiles);
                        again = true;
                        break;
                    }
                    s.printAt(25, 31, "Kill Buffer Files?");
                    line = "rm BufferFiles ";
                    scope = Scope::Buffer;
                    break;
                default: return cancelToBrowser(app);
            }
        }
    }
}

Next killFile(App& app) {
    Screen& s = app.screen;
    const std::string path = app.selectedPath;
    openDialogPanel(app);
    s.printAt(25, 31, "Kill this File ?");
    printCentred(s, 27, 40, killFileLine(path));
    drawYesNoButtons(s);
    if (confirm(app, Confirmation::KillFile) != Answer::Yes) return cancelToBrowser(app);
    return runKillPlan(app, planKill({path}, false), false);
}

Next removeDirectory(App& app) {
    Screen& s = app.screen;
    const std::string path = app.selectedPath;
    openDialogPanel(app);
    s.printAt(25, 28, "Remove This Directory ?");
    printCentred(s, 27, 40, path);
    drawYesNoButtons(s);
    if (confirm(app, Confirmation::RemoveDirectory) != Answer::Yes) return cancelToBrowser(app);
    if (rmdir(path.c_str()) != 0) {
        const int error = errno;
        for (const Button& b : {kYesButton, kNoButton}) s.fillBox(b.x1, b.y1, b.x2, b.y2, 15);
        showPlaced(app, kUnableToRemoveDirectory);
        const std::string why = whyNotRemoved(path, error);
        PlacedText second = kRemoveFilesInDirectory;
        second.text = why.c_str();
        showPlaced(app, second);
    }
    return refreshBrowser(app);
}

}  // namespace kestrel
