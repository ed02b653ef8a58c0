#pragma once
// Recorded lsblk and df -h reports (tests/data/disks), written where Kestrel reads them.
#include <fstream>
#include <iterator>
#include <string>

#include "extern/recording_runner.h"

namespace kestrel::test {

inline std::string golden(const std::string& name) {
    std::ifstream in(std::string(KESTREL_SOURCE_DIR) + "/tests/data/disks/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Answers the refresh lines as echo, lsblk and df would on `machine`; every other line is only recorded.
inline void actAsMachine(RecordingRunner& runner, const std::string& exeDir, const std::string& machine) {
    runner.onShell = [exeDir, machine](const std::string& line) {
        if (line.starts_with("echo - DRIVES >")) std::ofstream(exeDir + "/drives.txt") << "- DRIVES\n";
        if (line.starts_with("lsblk ")) std::ofstream(exeDir + "/drives.txt", std::ios::app) << golden(machine + ".lsblk");
        if (line.starts_with("df -h >")) std::ofstream(exeDir + "/free.txt") << golden(machine + ".df");
        return 0;
    };
}

}  // namespace kestrel::test
