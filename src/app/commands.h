#pragma once
// Every command the browser can hand out, whichever key or button chose it,
// and the tables that map keys and buttons to them.
#include <optional>

#include "frame/app_state.h"

namespace kestrel {

enum class Command {
    SaveExit, Select, RootParentMessage, DrivePrompt, NewDirectory,
    RemoveDirectory, KillFile, KillAll, CopyFile, CopyDirectory, Paste, PasteAll, Rename,
    PickCheck, Disks, Search, Down, Up, End, Home,
    SortName, SortType, SortSize, SortDate, Background, Centre, ToggleView,
    Info, GoRoot, Help, Zip, Refresh, ViewBuffer, BufferToggle, BufferGroup, BufferClear,
};

// What must hold for a table row to apply, tested on the cursor entry.
enum class When { Always, Parent, Directory, File, FileOrDirectory, RootParent, CanGoDown, CanGoUp };

bool holds(const App& app, When when);

// The key dispatch: the command of the first row that matches, if any.
std::optional<Command> commandForKey(const App& app, Key key);
// The button bar and the other click targets of the browser, by cell.
std::optional<Command> commandForClick(const App& app, Cell cell);

// Carries a command out. No value means the command is not available, and
// the key or click is ignored exactly like one that matches nothing.
std::optional<Next> act(App& app, Command command);

}  // namespace kestrel
