#pragma once
// Recorded lsblk and df -h reports (tests/data/disks), written where Kestrel reads them.
#include <string>

#include "extern/recording_runner.h"
#include "frame/text_file.h"

namespace kestrel::test {

inline std::string golden(const std::string& name) { return readTextFile(std::string(KESTREL_SOURCE_DIR) + "/tests/data/disks/" + name); }

// Answers the refresh lines as echo, lsblk and df would on `machine`; every other line is only recorded.
inline void actAsMachine(RecordingRunner& runner, const std::string& exeDir, const std::string& machine) {
    runner.onShell = [drives = exeDir + "/drives.txt", exeDir, machine](const std::string& line) {
        if (line.starts_with("echo - DRIVES >")) writeTextFile(drives, "- DRIVES\n");
        if (line.starts_with("lsblk ")) writeTextFile(drives, readTextFile(drives) + golden(machine + ".lsblk"));
        if (line.starts_with("df -h >")) writeTextFile(exeDir + "/free.txt", golden(machine + ".df"));
        return 0;
    };
}

}  // namespace kestrel::test
