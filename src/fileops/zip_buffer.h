#pragma once
// F2 in the browser: the files of the Copy/Kill Buffer packed into
// "temp.zip" in the listed directory by the associated archiver.
#include <string>
#include <vector>

#include "frame/app_state.h"

namespace kestrel {

// The archiver's arguments: the archive path, then one per buffered file,
// each passed as it is, whatever blanks or quotes it holds.
std::vector<std::string> zipArguments(const std::string& directory, const CopyKillBuffer& buffer);

// Starts the archiver without a shell and waits; the buffer is emptied
// afterwards whatever the archiver did, and the listing reloaded.
Next zipBuffer(App& app);

}  // namespace kestrel
