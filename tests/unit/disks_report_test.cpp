// The disks screen's reading of lsblk and df -h reports recorded on several machines (tests/data/disks).
#include <gtest/gtest.h>

#include "disks/disk_lines.h"
#include "disks/drive_report.h"
#include "disks/list_window.h"
#include "disks_golden.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

using Lines = std::vector<std::string>;

DriveReport parsed(const std::string& machine) {
    DriveReport r = parseDrives("- DRIVES\n" + golden(machine + ".lsblk"));
    joinUsage(r, golden(machine + ".df"));
    return r;
}

// Each listed device as name|type|mount point|the first word of its df line|the flag in column 77 of its row.
Lines listed(const DriveReport& r) {
    Lines out;
    for (const Device& d : r.devices)
        out.push_back(d.name + "|" + d.type + "|" + d.mountPoint + "|" + d.usage.substr(0, d.usage.find(' ')) + "|" + d.row.substr(76));
    return out;
}

}  // namespace

// lsblk's real padding with long names, blanks and swap; today's NVMe, virtio and SD/MMC disks (own_layout is the
// picture's). Loop devices and optical drives stay out; each df line is joined to the device it names exactly.
TEST(DisksReport, EachMachinesDisksAndPartitionsWithTheirMountPointsAndUsage) {
    EXPECT_EQ(listed(parsed("long_names")),
              (Lines{"sda|disk|||1 ", "sda1|part|/boot/efi|/dev/sda1|0 ", "sda2|part|/|/dev/sda2|0 ", "sda3|part|[SWAP]||0 ", "sdaa|disk|||1 ",
                     "sdaa1|part|/media/ann/My Disk|/dev/sdaa1|0 ", "sdaa10|part|/srv/data10|/dev/sdaa10|0 ", "sdab|disk|||1 ", "sdab1|part|||0 "}));
    EXPECT_EQ(listed(parsed("today"))[5], "vda1|part|/srv/vm|/dev/vda1|0 ");  // the scenario walks the NVMe and SD rows
}

TEST(DisksReport, MarkerHeaderEscapesAndOddLines) {
    struct Case { const char* drives; bool found; size_t devices; const char* lastMount; };
    const Case cases[] = {
        {"KNAME TYPE\nsda disk\n", false, 1, ""},  // no marker: "List not found."
        {"- DRIVES\n", true, 0, ""},
        // Without a usable header the report is read in Kestrel's own layout.
        {"- DRIVES\n\nsdb1  part  1             15G                  /mnt/sdb1\n", true, 1, "/mnt/sdb1"},
        {"- DRIVES\nKNAME MOUNTPOINT\nsdb1  part  1             15G                  /mnt/sdb1\n", true, 1, "/mnt/sdb1"},  // half a header
        {"- DRIVES\nKNAME TYPE MOUNTPOINT\nsdc1  part /media/a\\x20b\\x5cx41\n", true, 1, "/media/a b\\x41"},
        {"- DRIVES\nKNAME TYPE MOUNTPOINT\nsdc1  part /mnt/box1a\\b12\n", true, 1, "/mnt/box1a\\b12"},  // no escape
        {"- DRIVES\nKNAME TYPE MOUNTPOINT\nsd/../etc part\nsdd1  part /x\r\n", true, 1, "/x"},  // short rows
    };
    EXPECT_EQ(parseDrives("- DRIVES\nNAME   TYPE\nsdb1  part  1\n").devices.at(0).type, "part");  // half a header, the other half
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drives);
        const DriveReport r = parseDrives(c.drives);
        EXPECT_EQ(std::tuple(r.found, r.devices.size(), r.devices.empty() ? "" : r.devices.back().mountPoint),
                  std::tuple(c.found, c.devices, std::string(c.lastMount)));
    }
}

TEST(DisksReport, ShellLinesQuoteEveryName) {
    EXPECT_EQ(refreshLines("/a b$(x)"), (Lines{"echo - DRIVES > '/a b$(x)/drives.txt'",
                                               "lsblk -io KNAME,TYPE,RM,VENDOR,SIZE,MODEL,MOUNTPOINT,TRAN,STATE >> '/a b$(x)/drives.txt'",
                                               "df -h > '/a b$(x)/free.txt'"}));
    EXPECT_EQ(mountLines("sd b;x"), (Lines{"mkdir '/mnt/sd b;x'", "mount '/dev/sd b;x' '/mnt/sd b;x'"}));
}

// The bottom line with rows below, clicks outside or past the end (the disks scenario walks the rest).
TEST(DisksReport, CursorWindowNeverLeavesItsLines) {
    EXPECT_EQ((std::vector<ListWindow>{windowDown({19, 19}, 20), windowDown({20, 19}, 20), windowDown({1, 1}, 0), windowEnd({2, 2}, 7),
                                       windowClick({3, 3}, 100, 20), windowClick({3, 3}, 5, 7)}),
              (std::vector<ListWindow>{{20, 19}, {20, 19}, {1, 1}, {7, 7}, {3, 3}, {3, 3}}));
}
