#pragma once
// The Copy/Kill Buffer: the user's pick list for the group commands.
#include <string>
#include <unordered_map>
#include <vector>

namespace kestrel {

struct CopyKillBuffer {
    static constexpr int kSlots = 1002;     // slots 1 to 1001 are used
    static constexpr int kCapacity = kSlots - 1;
    std::vector<std::string> rows = std::vector<std::string>(kSlots);   // row texts of picked entries
    std::vector<std::string> paths = std::vector<std::string>(kSlots);  // their full paths
    int count = 0;                                                      // highest used slot

    // Full path to slot, kept in step with the slots by add, removeSlot and
    // clear. A pick is its file: the path, not the row text, says whether an
    // entry is picked, so a file whose size or date changed is still picked
    // (and drawn so), and a same-looking entry elsewhere is not. The browser
    // asks holds() for every row it draws; with a full buffer a linear
    // search would cost 1001 comparisons per row.
    std::unordered_map<std::string, int> slotOfPath;

    // Empties every slot: after a confirmed "Kill Buffer", a zip, or Z.
    void clear() {
        for (int i = 1; i <= count; ++i) {
            rows[i].clear();
            paths[i].clear();
        }
        count = 0;
        slotOfPath.clear();
    }

    // An entry counts as picked when a used slot holds its full path.
    bool holds(const std::string& path) const { return slotOfPath.find(path) != slotOfPath.end(); }

    // The slot holding the path, 0 when none does.
    int slotOf(const std::string& path) const {
        const auto it = slotOfPath.find(path);
        return it == slotOfPath.end() ? 0 : it->second;
    }

    bool full() const { return count >= kCapacity; }

    // Puts the entry in the next slot; false when the buffer is full or the
    // path is already held (one file never takes two slots).
    bool add(const std::string& row, const std::string& path) {
        if (full() || holds(path)) return false;
        ++count;
        rows[count] = row;
        paths[count] = path;
        slotOfPath.emplace(path, count);
        return true;
    }

    // Empties slot s and moves the slots above it down one, so slots 1 to
    // count stay without gaps.
    void removeSlot(int s) {
        if (s < 1 || s > count) return;
        slotOfPath.erase(paths[s]);
        for (int j = s; j < count; ++j) {
            rows[j] = std::move(rows[j + 1]);
            paths[j] = std::move(paths[j + 1]);
            slotOfPath[paths[j]] = j;
        }
        rows[count].clear();
        paths[count].clear();
        --count;
    }

    // The full paths of the used slots, in slot order.
    std::vector<std::string> filePaths() const {
        return std::vector<std::string>(paths.begin() + 1, paths.begin() + 1 + count);
    }

    // The buffer-file list: every path followed by one blank, built from the
    // slots each time. Un-picking a file never edits this text in place, where
    // "/home/a " would also match the tail of "/bak/home/a ".
    std::string fileList() const {
        std::string list;
        for (int i = 1; i <= count; ++i) list += paths[i] + " ";
        return list;
    }
};

}  // namespace kestrel
