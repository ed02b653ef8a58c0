#pragma once
// The disks screen's picture of the machine, read from the two reports the
// refresh has the shell write: the marker line and the lsblk report
// ("drives.txt"), and the df -h report ("free.txt"). Pure functions: text in,
// devices out.
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

constexpr int kMaxDeviceRows = 1000;
// The header Kestrel asks lsblk for, in the layout the list was designed on.
constexpr std::string_view kDrivesHeader =
    "KNAME TYPE RM VENDOR     SIZE MODEL            MOUNTPOINT          TRAN STATE ";

struct Device {
    std::string name;        // KNAME: the line's first word
    std::string type;        // "disk", "part", ...
    std::string mountPoint;  // empty when not mounted; "[SWAP]" for active swap
    std::string usage;       // the device's df -h line, empty when it has none
    std::string row;         // the list row: the line cut and padded to 72, "    ", the running flag, " "
};

struct DriveReport {
    bool found = false;   // the "- DRIVES" marker was in the report
    std::string header;   // the lsblk header line the report holds
    std::vector<Device> devices;
    std::string usageHeader;  // the df -h header line
};

// The lsblk report behind its "- DRIVES" marker. Only disks and their
// partitions ("sd", "hd", "nvme", "vd", "mmcblk" devices) are kept, at most kMaxDeviceRows. lsblk sizes every column to its widest
// cell, so the fields are found where the header line puts their titles,
// never at fixed columns.
DriveReport parseDrives(std::string_view drivesText);

// Gives each device the first df -h line naming exactly "/dev/" + its name.
void joinUsage(DriveReport& report, std::string_view freeText);

// A place the browser can list: a mount point that is a path ("[SWAP]" is not).
bool isViewableMountPoint(const std::string& mountPoint);

}  // namespace kestrel
