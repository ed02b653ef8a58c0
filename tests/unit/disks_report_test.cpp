// The disks screen's reading of lsblk and df -h reports, recorded on
// machines with Kestrel's own header layout and with lsblk's real padding.
#include <gtest/gtest.h>


#include "disks/disk_lines.h"
#include "disks/drive_report.h"
#include "disks/list_window.h"
#include "disks_golden.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// name, type, mount point, the start of its df line ("" for none), column 77 of the list row
struct Expected { const char *name, *type, *mountPoint, *usageStart; char flag; };

DriveReport parsed(const std::string& machine) {
    DriveReport r = parseDrives(drivesReport(machine));
    joinUsage(r, golden(machine + ".df"));
    return r;
}

void expectDevices(const DriveReport& r, std::initializer_list<Expected> expected) {
    ASSERT_EQ(r.devices.size(), expected.size());
    size_t i = 0;
    for (const Expected& e : expected) {
        const Device& d = r.devices[i++];
        const std::string usageStart = e.usageStart;
        EXPECT_EQ(std::tie(d.name, d.type, d.mountPoint), std::make_tuple(e.name, e.type, e.mountPoint)) << e.name;
        EXPECT_EQ(d.usage.substr(0, usageStart.size()) + "|" + d.row.substr(76), usageStart + "|" + e.flag + " ") << e.name;
        EXPECT_EQ(d.usage.empty(), usageStart.empty()) << e.name;
    }
}

}  // namespace

TEST(DisksReport, KestrelsOwnLayoutReadsAsItsFixedColumns) {
    const DriveReport r = parsed("own_layout");
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.header, kDrivesHeader);
    EXPECT_EQ(r.usageHeader.substr(0, 10), "Filesystem");
    // sr0 and loop0 are not listed; /dev/sdc1 names no listed device.
    expectDevices(r, {{"sda", "disk", "", "", '1'}, {"sda1", "part", "/boot", "/dev/sda1       511M", '0'},
                      {"sda2", "part", "/init", "/dev/sda2        98G", '0'}, {"sda3", "part", "[SWAP]", "", '0'},
                      {"sdb", "disk", "", "", '1'}, {"sdb1", "part", "", "/dev/sdb1", '0'}});
    // The list row is the report line, cut at 72 and flagged.
    EXPECT_EQ(r.devices[0].row, golden("own_layout.lsblk").substr(79, 72) + "    1 ");
}

TEST(DisksReport, RealPaddingLongNamesBlanksAndSwap) {
    expectDevices(parsed("long_names"),
                  {{"sda", "disk", "", "", '1'}, {"sda1", "part", "/boot/efi", "/dev/sda1 ", '0'}, {"sda2", "part", "/", "/dev/sda2 ", '0'},
                   {"sda3", "part", "[SWAP]", "", '0'}, {"sdaa", "disk", "", "", '1'},
                   {"sdaa1", "part", "/media/ann/My Disk", "/dev/sdaa1  ", '0'}, {"sdaa10", "part", "/srv/data10", "/dev/sdaa10 ", '0'},
                   {"sdab", "disk", "", "", '1'}, {"sdab1", "part", "", "", '0'}});
    expectDevices(parsed("no_disks"), {});
}

// NVMe, virtio and SD/MMC disks are listed by the same header-driven rules;
// loop devices and the optical drive stay out.
TEST(DisksReport, TodaysDisksNvmeVirtioAndSdCards) {
    expectDevices(parsed("today"),
                  {{"nvme0n1", "disk", "", "", '0'}, {"nvme0n1p1", "part", "/boot/efi", "/dev/nvme0n1p1 ", '0'},
                   {"nvme0n1p2", "part", "/", "/dev/nvme0n1p2 ", '0'}, {"nvme0n1p3", "part", "", "", '0'},
                   {"vda", "disk", "", "", '0'}, {"vda1", "part", "/srv/vm", "/dev/vda1 ", '0'},
                   {"mmcblk0", "disk", "", "", '0'}, {"mmcblk0p1", "part", "/media/ann/SD", "/dev/mmcblk0p1 ", '0'}});
}

TEST(DisksReport, MarkerLimitsAndOddLines) {
    struct Case { std::string drives; bool found; size_t devices; const char* lastMount; };
    std::string many = "- DRIVES\n" + std::string(kDrivesHeader) + "\n";
    for (int i = 0; i < 1005; ++i) many += "sdz" + std::to_string(i) + " part\n";
    const Case cases[] = {
        {"", false, 0, ""},
        {"KNAME TYPE\nsda disk\n", false, 1, ""},  // no marker: "List not found."
        {"- DRIVES\n", true, 0, ""},
        {many, true, 1000, ""},
        // Without a usable header the report is read in Kestrel's own layout.
        {"- DRIVES\n\nsdb1  part  1             15G                  /mnt/sdb1\n", true, 1, "/mnt/sdb1"},
        {"- DRIVES\nKNAME TYPE MOUNTPOINT\nsdc1  part /media/a\\x20b\\x5cx41\n", true, 1, "/media/a b\\x41"},
        {"- DRIVES\nKNAME TYPE MOUNTPOINT\nsdc1  part /mnt/box1a\\b12\n", true, 1, "/mnt/box1a\\b12"},  // no escape
        {"- DRIVES\nKNAME TYPE MOUNTPOINT\nsd/../etc part\nsdd1  part /x\r\n", true, 1, "/x"},  // short rows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drives.substr(0, 40));
        const DriveReport r = parseDrives(c.drives);
        EXPECT_EQ(std::tuple(r.found, r.devices.size(), r.devices.empty() ? "" : r.devices.back().mountPoint),
                  std::tuple(c.found, c.devices, std::string(c.lastMount)));
    }
    EXPECT_EQ(std::pair(isViewableMountPoint("[SWAP]"), isViewableMountPoint("/boot")), std::pair(false, true));
}

TEST(DisksReport, ShellLinesQuoteEveryName) {
    EXPECT_EQ(refreshLines("/opt/k"),
              (std::vector<std::string>{"echo - DRIVES > /opt/k/drives.txt",
                                        "lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN,STATE >> /opt/k/drives.txt",
                                        "df -h > /opt/k/free.txt"}));
    using Lines = std::vector<std::string>;
    EXPECT_EQ((Lines{mountLines("sdb1")[0], mountLines("sdb1")[1], unmountLines("sdb1")[0], unmountLines("sdb1")[1],
                     mountLines("sd b;x")[1], refreshLines("/a b$(x)")[2]}),
              (Lines{"mkdir /mnt/sdb1", "mount /dev/sdb1 /mnt/sdb1", "umount -l /mnt/sdb1", "umount -l /dev/sdb1",
                     "mount '/dev/sd b;x' '/mnt/sd b;x'", "df -h > '/a b$(x)/free.txt'"}));
    EXPECT_EQ(mountLines("sdb1").size() + unmountLines("sdb1").size(), 4u);
}

// Beyond the thousand-row scenario: the bottom line with rows below, clicks outside or past the end.
TEST(DisksReport, CursorWindowNeverLeavesItsLines) {
    EXPECT_EQ((std::vector<ListWindow>{windowDown({19, 19}, 20), windowDown({20, 19}, 20), windowDown({1, 1}, 0), windowEnd({2, 2}, 7),
                                       windowClick({3, 3}, 100, 20), windowClick({3, 3}, 5, 7)}),
              (std::vector<ListWindow>{{20, 19}, {20, 19}, {1, 1}, {7, 7}, {3, 3}, {3, 3}}));
}
