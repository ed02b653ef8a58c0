#pragma once
// The Copy/Kill Buffer: the user's pick list for the group commands.
#include <string>
#include <vector>

namespace kestrel {

struct CopyKillBuffer {
    static constexpr int kSlots = 1002;  // slots 1 to 1001 are used
    std::vector<std::string> rows = std::vector<std::string>(kSlots);   // row texts of picked entries
    std::vector<std::string> paths = std::vector<std::string>(kSlots);  // their full paths
    int count = 0;                                                      // highest used slot

    // Empties every slot: after a confirmed "Kill Buffer", a zip, or Z.
    void clear() {
        for (int i = 1; i <= count; ++i) {
            rows[i].clear();
            paths[i].clear();
        }
        count = 0;
    }

    // An entry counts as picked when a used slot holds the same row text.
    bool holds(const std::string& row) const {
        for (int i = 1; i <= count; ++i)
            if (rows[i] == row) return true;
        return false;
    }
};

}  // namespace kestrel
