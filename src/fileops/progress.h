#pragma once
// How far a long paste or kill has come, measured on the disk while cp or
// rm runs: the bytes under the copies in the destination against the bytes
// of the sources, or the entries gone against those there were. Shown
// beside "Please Wait" on row 29 (runProgram calls it on the clock).
#include <cstdint>
#include <string>
#include <vector>

#include "frame/outside_program.h"

namespace kestrel {

struct Tally {
    std::uint64_t bytes = 0;    // of regular files
    std::uint64_t entries = 0;  // what rm would remove
};
// What is under each path: with `recursive` the whole tree, links not
// followed (cp -r, rm -r); without, the path itself, followed (cp), where a
// directory is not an entry rm would remove. Paths that are gone count nothing.
Tally tallyOf(const std::vector<std::string>& paths, bool recursive);

// "312.4 MB of 600.0 MB  52%" and "1200 of 5000 entries  24%".
std::string copyProgressText(std::uint64_t done, std::uint64_t total);
std::string removeProgressText(std::uint64_t done, std::uint64_t total);

// Watches for a copy of `sources` into `destination`: the sources' size is
// taken when progress is first shown, so a short copy costs nothing.
ProgressWatch copyWatch(App& app, const std::vector<std::string>& sources, const std::string& destination,
                        bool recursive);
// Watches for a removal: the entries are counted before it starts.
ProgressWatch removeWatch(App& app, const std::vector<std::string>& paths, bool recursive);

}  // namespace kestrel
