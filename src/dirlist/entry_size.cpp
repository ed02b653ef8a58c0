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
#include <linux/capability.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>

namespace kestrel {

namespace {

// Asking the kernel costs a second path lookup per entry. Where the status
// gives the same answer it is taken from there: on the local file systems
// below, an entry's owner reads it exactly when the owner-read bit is set (an
// access list never changes the owner's rights), and a process holding
// CAP_DAC_OVERRIDE or CAP_DAC_READ_SEARCH reads every file whose owner and
// group it knows. Everything else (other classes, access lists, network and
// user-space file systems, mount points inside the directory) is asked.
constexpr unsigned long kStatusAnswers[] = {EXT4_SUPER_MAGIC, XFS_SUPER_MAGIC, BTRFS_SUPER_MAGIC, TMPFS_MAGIC,
                                            OVERLAYFS_SUPER_MAGIC, F2FS_SUPER_MAGIC};
constexpr uid_t kOverflowId = 65534;  // an owner this user namespace cannot name: capabilities do not apply

bool holdsReadCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    const unsigned bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    return (data[0].effective & bits) != 0;
}

bool mayRead(int dirFd, const char* name, const struct stat& st, const ReadCheck& check) {
    if (check.statusAnswers && st.st_dev == check.device) {
        if (check.readsEverything && st.st_uid != kOverflowId && st.st_gid != kOverflowId) return true;
        if (st.st_uid == check.euid && !check.readsEverything) return (st.st_mode & S_IRUSR) != 0;
    }
    return faccessat(dirFd, name, R_OK, AT_EACCESS) == 0;
}

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

ReadCheck readCheckFor(int dirFd) {
    ReadCheck check;
    struct statfs fs {};
    struct stat dir {};
    if (fstatfs(dirFd, &fs) != 0 || fstat(dirFd, &dir) != 0) return check;
    for (unsigned long magic : kStatusAnswers)
        if (static_cast<unsigned long>(fs.f_type) == magic) check.statusAnswers = true;
    check.device = dir.st_dev;
    check.euid = geteuid();
    check.readsEverything = holdsReadCapability();
    return check;
}

std::uint64_t readableSize(int dirFd, const char* name, const struct stat& st, const ReadCheck& check) {
    if (S_ISREG(st.st_mode)) {
        if (st.st_size <= 0) return 0;
        return mayRead(dirFd, name, st, check) ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    if (S_ISBLK(st.st_mode)) return mayRead(dirFd, name, st, check) ? blockDeviceBytes(st.st_rdev) : 0;
    return 0;
}

}  // namespace kestrel
