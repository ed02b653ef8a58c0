// The size column shows what a reader would find at the end of the entry, and
// 0 when the entry cannot be opened for reading. Listing must never block nor
// disturb a device, so nothing is actually opened:
//  - a regular file: its status length, when the effective user may read it;
//  - a directory, FIFO or socket: 0 (a FIFO cannot seek, a socket cannot be
//    opened);
//  - a character device: 0. Opening one is an action (a watchdog starts its
//    countdown, a tape rewinds, a modem line rises), and the streams among
//    them have no end to seek to anyway;
//  - a block device: its capacity as the kernel publishes it in sysfs, which
//    is what a seek to the end reports, when the effective user may read it.
#include "dirlist/entry_size.h"

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>

namespace kestrel {

namespace {

bool mayRead(int dirFd, const char* name) { return faccessat(dirFd, name, R_OK, AT_EACCESS) == 0; }

std::uint64_t blockDeviceBytes(dev_t device) {
    char path[64];
    std::snprintf(path, sizeof path, "/sys/dev/block/%u:%u/size", major(device), minor(device));
    std::FILE* f = std::fopen(path, "re");
    if (f == nullptr) return 0;
    unsigned long long sectors = 0;
    const bool ok = std::fscanf(f, "%llu", &sectors) == 1;
    std::fclose(f);
    return ok ? static_cast<std::uint64_t>(sectors) * 512u : 0;  // sysfs counts 512-byte sectors
}

}  // namespace

std::uint64_t readableSize(int dirFd, const char* name, const struct stat& st) {
    if (S_ISREG(st.st_mode)) {
        if (st.st_size <= 0) return 0;
        return mayRead(dirFd, name) ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    if (S_ISBLK(st.st_mode)) return mayRead(dirFd, name) ? blockDeviceBytes(st.st_rdev) : 0;
    return 0;
}

}  // namespace kestrel
