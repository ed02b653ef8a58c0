#pragma once
// The commands of the Copy/Kill Buffer: Q picks or un-picks the file under
// the cursor, W picks a run of entries, Z empties the buffer and V shows it
// in the text editor.
#include <string>

#include "frame/app_state.h"

namespace kestrel {

// What Q did to the buffer.
enum class Toggled { Added, Removed, Full };

// The buffer side of Q for the entry with this row text and full path: the
// path alone says whether it is picked.
Toggled toggleEntry(CopyKillBuffer& buffer, const std::string& row, const std::string& path);

// The list index W takes its run from: the entry (from index 2 on) of the
// highest slot that is in the listing. 0 when no picked entry is listed.
int findAnchor(const CopyKillBuffer& buffer, const DirList& list);

// The buffer side of W: adds every entry from the anchor stepped one towards
// the cursor up to the cursor that is not yet picked, while there is room.
// The parent entry is never added: its path is the parent directory.
// Returns how many were added.
int addRun(CopyKillBuffer& buffer, const DirList& list, int anchor, int cursor);

// The text of "buffer.txt": each row text, an empty line, the buffer-file list.
std::string bufferFileText(const CopyKillBuffer& buffer);

Next toggleCursorEntry(App& app);    // Q, Ctrl+Q
Next addRunToCursor(App& app);       // W, Ctrl+W
Next clearBuffer(App& app);          // Z and the panel's "Clear"
Next viewBuffer(App& app);           // V and the panel's "View"

// The count on the panel after the buffer was emptied (Z, "Kill Buffer").
void showClearedCount(App& app);

}  // namespace kestrel
