#pragma once
// Kestrel's own small files (records, lists for the text editor) written and
// read whole with plain system calls: no stream library, whose locale set-up
// costs more memory than the rest of the browser's code.
#include <string>
#include <string_view>

namespace kestrel {

// Creates or truncates `path` and writes `text`; false when it could not.
bool writeTextFile(const std::string& path, std::string_view text);
// Removes a report or list Kestrel is about to write anew, or at least empties
// it, so that nothing left by an earlier run or another user can pass for the
// new one; false when neither is possible (it then holds someone else's text).
bool discardFile(const std::string& path);
// writeTextFile, and a file that could not be written is discarded: true when
// `path` now holds `text` or nothing at all.
bool writeFreshTextFile(const std::string& path, std::string_view text);
// The whole file, or "" when it cannot be read.
std::string readTextFile(const std::string& path);

}  // namespace kestrel
