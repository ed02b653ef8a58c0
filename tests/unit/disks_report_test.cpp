// The disks screen's reading of lsblk and df -h reports, recorded on
// machines with Kestrel's own header layout and with lsblk's real padding.
#include <gtest/gtest.h>

#include <tuple>

#include "disks/disk_lines.h"
#include "disks/drive_report.h"
#include "disks/list_window.h"
#include "disks_golden.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct Expected {
    const char* name;
    const char* type;
    const char* mountPoint;
    const char* usageStart;  // the start of its df line, "" for none
    char flag;               // column 77 of the list row
};

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
    expectDevices(r, {{"sda", "disk", "", "", '1'},
                      {"sda1", "part", "/boot", "/dev/sda1       511M", '0'},
                      {"sda2", "part", "/init", "/dev/sda2        98G", '0'},
                      {"sda3", "part", "[SWAP]", "", '0'},
                      {"sdb", "disk", "", "", '1'},
                      {"sdb1", "part", "", "/dev/sdb1", '0'}});
    // The list row is the report line, cut at 72 and flagged.
    EXPECT_EQ(r.devices[0].row, golden("own_layout.lsblk").substr(79, 72) + "    1 ");
}

TEST(DisksReport, RealPaddingLongNamesBlanksAndSwap) {
    expectDevices(parsed("long_names"), {{"sda", "disk", "", "", '1'},
                                          {"sda1", "part", "/boot/efi", "/dev/sda1 ", '0'},
                                          {"sda2", "part", "/", "/dev/sda2 ", '0'},
                                          {"sda3", "part", "[SWAP]", "", '0'},
                                          {"sdaa", "disk", "", "", '1'},
                                          {"sdaa1", "part", "/media/ann/My Disk", "/dev/sdaa1  ", '0'},
                                          {"sdaa10", "part", "/srv/data10", "/dev/sdaa10 ", '0'},
                                          {"sdab", "disk", "", "", '1'},
                                          {"sdab1", "part", "", "", '0'}});
    expectDevices(parsed("nvme_only"), {});
}

TEST(DisksReport, MarkerLimitsAndOddLines) {
    struct Case {
        std::string drives;
        bool found;
        size_t devices;
        const char* lastMount;
    };
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
        EXPECT_EQ(r.found, c.found);
        ASSERT_EQ(r.devices.size(), c.devices);
        if (c.devices) {
            EXPECT_EQ(r.devices.back().mountPoint, c.lastMount);
        }
    }
    EXPECT_FALSE(isViewableMountPoint("[SWAP]"));
    EXPECT_TRUE(isViewableMountPoint("/boot"));
}

TEST(DisksReport, ShellLinesQuoteEveryName) {
    EXPECT_EQ(refreshLines("/opt/k"),
              (std::vector<std::string>{"echo - DRIVES > /opt/k/drives.txt",
                                        "lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN,STATE >> /opt/k/drives.txt",
                                        "df -h > /opt/k/free.txt"}));
    EXPECT_EQ(mountLines("sdb1"), (std::vector<std::string>{"mkdir /mnt/sdb1", "mount /dev/sdb1 /mnt/sdb1"}));
    EXPECT_EQ(unmountLines("sdb1"), (std::vector<std::string>{"umount -l /mnt/sdb1", "umount -l /dev/sdb1"}));
    EXPECT_EQ(mountLines("sd b;x")[1], "mount '/dev/sd b;x' '/mnt/sd b;x'");
    EXPECT_EQ(refreshLines("/a b$(x)")[2], "df -h > '/a b$(x)/free.txt'");
}

// The moves the thousand-row scenario does not reach: the cursor on the
// bottom line with rows below, clicks outside the window or past the end.
TEST(DisksReport, CursorWindowNeverLeavesItsLines) {
    EXPECT_EQ(windowDown({19, 19}, 20), (ListWindow{20, 19}));
    EXPECT_EQ(windowDown({20, 19}, 20), (ListWindow{20, 19}));
    EXPECT_EQ(windowDown({1, 1}, 0), (ListWindow{1, 1}));
    EXPECT_EQ(windowEnd({2, 2}, 7), (ListWindow{7, 7}));
    EXPECT_EQ(windowClick({3, 3}, 100, 20), (ListWindow{3, 3}));
    EXPECT_EQ(windowClick({3, 3}, 5, 7), (ListWindow{3, 3}));
}
