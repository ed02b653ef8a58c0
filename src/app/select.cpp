#include "app/select.h"

#include "frame/child_path.h"
#include "frame/trim.h"

#include "frame/browser_draw.h"
#include "fileops/paste_kill.h"
#include "fileops/rename_entry.h"
#include "viewers/open_file.h"

namespace kestrel {

Next selectEntry(App& app) {
    Screen& s = app.screen;
    s.sleep(200);
    app.savedDirectoryPath = app.selectedPath;
    const std::string& row = app.cursorEntryRow();
    const bool parent = isParentRow(row);
    if (parent && trimSpaces(app.selectedPath) == "/") {
        showMessage(app, "No parent directories beyond /");
        return Next::Poll;
    }
    app.selectedPath = selectedChildPath(app.selectedPath, app.list.name(app.cursorIndex), parent);
    if (app.pending == Pending::Rename) {
        app.pending = Pending::None;
        return renameEntry(app);
    }
    if (app.pending != Pending::None) {
        const Pending command = app.pending;
        app.pending = Pending::None;
        if (auto next = runPendingFileCommand(app, command)) return *next;
        // A command Kestrel does not have yet: the entry stays as it was.
        app.selectedPath = app.savedDirectoryPath;
        return Next::Poll;
    }
    if (isFileRow(row)) return openFile(app);
    s.sleep(20);
    return Next::Reload;
}

}  // namespace kestrel
