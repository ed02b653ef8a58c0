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

    // An entry counts as picked when a used slot holds the same row text.
    bool holds(const std::string& row) const {
        for (int i = 1; i <= count; ++i)
            if (rows[i] == row) return true;
        return false;
    }
};

}  // namespace kestrel
