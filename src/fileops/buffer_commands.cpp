#include "fileops/buffer_commands.h"
#include "frame/name_row.h"


#include "frame/browser_draw.h"
#include "frame/text_file.h"
#include "frame/child_path.h"
#include "frame/status_message.h"
#include "frame/outside_program.h"
#include "extern/programs.h"
#include "extern/quote.h"

namespace kestrel {

namespace {

constexpr const char* kRedrawnTitle = "Copy/Paste Buffer";
constexpr int kSettleMs = 350, kSettlePollMs = 10;

bool picksFilesOnly(App& app) {
    const std::string& row = app.cursorEntryRow();
    if (!isParentRow(row) && !isDirRow(row)) return true;
    showStatus(app, StatusMessage::FilesOnly);
    return false;
}

// Keys typed while a pick is drawn are not commands: wait up to 0.35 s
// (Esc ends the wait), then drop what is still waiting, up to an Esc.
void keySettle(Screen& s) {
    const std::int64_t start = s.nowMs();
    while (!s.pollKey().isChar(ch::Esc) && s.nowMs() - start < kSettleMs) s.sleep(kSettlePollMs);
    while (s.keyWaiting())
        if (s.pollKey().isChar(ch::Esc)) break;
}

}  // namespace

Toggled toggleEntry(CopyKillBuffer& buffer, const std::string& row, const std::string& path) {
    if (const int slot = buffer.slotOf(path)) {
        buffer.removeSlot(slot);
        return Toggled::Removed;
    }
    return buffer.add(row, path) ? Toggled::Added : Toggled::Full;
}

int findAnchor(const CopyKillBuffer& buffer, const DirList& list) {
    int anchor = 0, anchorSlot = 0;
    for (int k = 2; k <= list.count; ++k) {
        const int slot = buffer.slotOf(listedEntryPath(list, k));
        if (slot > 0 && slot >= anchorSlot) {
            anchorSlot = slot;
            anchor = k;
        }
    }
    return anchor;
}

int addRun(CopyKillBuffer& buffer, const DirList& list, int anchor, int cursor) {
    const int stepped = anchor < cursor ? anchor + 1 : anchor - 1;
    // From index 2: row 1 is the parent entry, whose path is the parent
    // directory, which Kill Buffer or zip must never be handed.
    const int lo = std::max(std::min(stepped, cursor), 2), hi = std::max(stepped, cursor);
    int added = 0;
    for (int k = lo; k <= hi && !buffer.full(); ++k)
        if (buffer.add(list.row(k), listedEntryPath(list, k))) ++added;
    return added;
}

std::string bufferFileText(const CopyKillBuffer& buffer) {
    std::string text;
    for (int i = 1; i <= buffer.count; ++i) text += buffer.rows[i] + "\n";
    return text + "\n" + buffer.fileList() + "\n";
}

Next toggleCursorEntry(App& app) {
    if (!picksFilesOnly(app)) return Next::Poll;
    Screen& s = app.screen;
    const std::string& row = app.cursorEntryRow();
    switch (toggleEntry(app.buffer, row, listedEntryPath(app.list, app.cursorIndex))) {
        case Toggled::Added:
            s.setColors(15, 3);
            s.locate(app.cursorRow + 4, 2);
            printListRow(s, app.list.name(app.cursorIndex), std::string_view(row).substr(0, kRowWidth));
            break;
        case Toggled::Removed: drawRow(app, app.cursorIndex, app.cursorRow, true); break;
        case Toggled::Full: break;
    }
    s.setColors(0, app.backgroundColour);
    if (app.expanded()) {
        drawBufferPanel(app, kRedrawnTitle);
        s.setColors(1, app.backgroundColour);
    }
    keySettle(s);
    return Next::Poll;
}

Next addRunToCursor(App& app) {
    if (!picksFilesOnly(app)) return Next::Poll;
    const int anchor = app.buffer.count > 0 ? findAnchor(app.buffer, app.list) : 0;
    if (anchor == 0) {
        showStatus(app, StatusMessage::NeedFileStart);
        return Next::Poll;
    }
    addRun(app.buffer, app.list, anchor, app.cursorIndex);
    Screen& s = app.screen;
    s.sleep(20);
    if (app.expanded()) drawBufferPanel(app, kRedrawnTitle);
    keySettle(s);
    return Next::Reload;
}

void showClearedCount(App& app) {
    if (!app.expanded()) return;
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.locate(33, 83);
    s.print("Clear  View ");
    s.printNumber(app.buffer.count);
    s.print("  ");
}

Next clearBuffer(App& app) {
    app.buffer.clear();
    showClearedCount(app);
    app.screen.sleep(50);
    return Next::Reload;
}

Next viewBuffer(App& app) {
    Screen& s = app.screen;
    const std::string path = app.exeDir + "/buffer.txt";
    const bool fresh = writeFreshTextFile(path, bufferFileText(app.buffer));
    s.sleep(20);
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, std::string(78, ' '));
    s.printAt(28, 2, std::string(75, ' '));
    showPlaced(app, kWaitingForProgram);
    s.setColors(0, app.backgroundColour);
    s.printAt(27, 2, "defaulttexteditor ");
    s.locate(28, 2);
    s.printText(path, 75);
    s.flush();
    // Through the shell, as every associated program, so a wrapper script
    // without "#!" runs too; the path is one quoted word. A list that could
    // not be written nor cleared is someone else's and is not opened.
    const ProgramEnd end = fresh ? runProgram(app, Launch::shellLine(commandLine({Arg::literal(kTextEditor), Arg::word(path)})))
                                 : ProgramEnd{RunResult::exited(0), ""};
    clearWaitingForProgram(app);
    s.sleep(20);
    if (end.failed()) showFailure(app, "Editor failed", failureReason(end));
    return Next::Poll;
}

}  // namespace kestrel
