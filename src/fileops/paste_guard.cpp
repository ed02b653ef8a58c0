#include "fileops/paste_guard.h"

#include "fileops/paste_checks.h"
#include "frame/browser_draw.h"
#include "frame/confirm.h"

namespace kestrel {

bool askReplace(App& app, const std::vector<std::string>& clashes) {
    Screen& s = app.screen;
    openDialogPanel(app);
    s.printAt(25, 28, "Replace Existing Files ?");
    printCentred(s, 27, 40, replaceQuestionLine(clashes));
    drawYesNoButtons(s);
    // The kill-file instance: Yes and No, answered by Y, N or Esc.
    return confirm(app, Confirmation::KillFile) == Answer::Yes;
}

Next refuseCopy(App& app, const std::string& reason) {
    Screen& s = app.screen;
    s.setPages(0, 0);
    showMessage(app, reason);
    app.selectedPath = app.savedDirectoryPath;
    return Next::Poll;
}

void sayLeftOut(App& app, const std::vector<std::string>& vanished, const std::vector<std::string>& otherFileSystem) {
    if (!vanished.empty()) showMessage(app, vanishedMessage(vanished));
    if (!otherFileSystem.empty()) showMessage(app, otherFileSystemMessage(otherFileSystem));
}

}  // namespace kestrel
