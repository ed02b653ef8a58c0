#pragma once
// What paste and kill look at on disk before cp or rm runs, so that no file
// is lost unseen: picks that are gone, names a copy would replace, a copy
// into or onto itself, and operands on another mounted file system.
#include <string>
#include <vector>

namespace kestrel {

// A paste of `sources` into the directory `dir`; `recursive` is cp -r.
struct PastePlan {
    std::vector<std::string> sources;   // what cp is given: every source that still exists
    std::vector<std::string> vanished;  // sources that no longer exist, left out
    std::vector<std::string> clashes;   // destination paths that exist already, in source order
    std::string refused;                // the message when the copy must not start at all
};
PastePlan planPaste(const std::vector<std::string>& sources, const std::string& dir, bool recursive);

// Before a confirmed copy over `clashes`: removes those that are symbolic
// links, so cp puts the copy in the link's place instead of writing through
// it to wherever it points.
void unlinkClashingLinks(const std::vector<std::string>& clashes);

// rm of `paths`; `recursive` is rm -r.
struct KillPlan {
    std::vector<std::string> paths;            // what rm is given
    std::vector<std::string> vanished;         // no longer there, left out
    std::vector<std::string> otherFileSystem;  // a mount point, or (recursive) holding one, left out
};
KillPlan planKill(const std::vector<std::string>& paths, bool recursive);

// The paths that still exist, and those that do not (for zip).
std::vector<std::string> existingPaths(const std::vector<std::string>& paths, std::vector<std::string>* vanished);

// The texts on the message row and the panel. Each names the first path's
// last component and how many more there are.
std::string replaceQuestionLine(const std::vector<std::string>& clashes);
std::string vanishedMessage(const std::vector<std::string>& vanished);
std::string otherFileSystemMessage(const std::vector<std::string>& leftOut);

// The mount points listed in a mountinfo text (/proc/self/mountinfo), with
// its octal escapes undone.
std::vector<std::string> mountPointsOf(const std::string& mountinfo);

}  // namespace kestrel
