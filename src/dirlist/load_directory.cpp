// Reading a directory into the Directory list.
//
// The directory is opened once and everything else is relative to that
// descriptor: the entries' status comes from fstatat on it (following links),
// so the rows are right even when the working directory could not be changed,
// and a relative path is resolved before the working directory moves.
//
// The names are read first, in the order the directory gives them, straight
// from the kernel in large blocks; then the status calls, which are nearly
// all of the work, are shared among the cores.
// Each entry's record is written only by the thread that took it, from that
// entry's status alone, so the list is the same whatever the number of threads.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "dirlist/dir_list.h"
#include "dirlist/entry_size.h"

namespace kestrel {

namespace {

constexpr int kPauseMs = 20;
// Entries per share of work; below two shares a second thread is not worth starting.
constexpr std::size_t kChunk = 512;
constexpr unsigned kMostThreads = 8;

// Only what a row shows is asked for: the type and mode, owner, group, size
// and modification time (the device numbers come with every answer).
constexpr unsigned kStatusFields = STATX_TYPE | STATX_MODE | STATX_UID | STATX_GID | STATX_MTIME | STATX_SIZE;

EntryFacts readFacts(int dirFd, const char* name, const ReadCheck& check) {
    EntryFacts facts;
    struct statx sx {};
    if (statx(dirFd, name, 0, kStatusFields, &sx) != 0) return facts;
    struct stat st {};
    st.st_mode = sx.stx_mode;
    st.st_uid = sx.stx_uid;
    st.st_gid = sx.stx_gid;
    st.st_size = static_cast<off_t>(sx.stx_size);
    st.st_dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    st.st_rdev = makedev(sx.stx_rdev_major, sx.stx_rdev_minor);
    facts.known = true;
    facts.mode = st.st_mode;
    facts.uid = st.st_uid;
    facts.gid = st.st_gid;
    facts.mtime = sx.stx_mtime.tv_sec;
    facts.size = readableSize(dirFd, name, st, check);
    return facts;
}

// Makes the listed directory the working directory. The descriptor is tried
// first so a relative path means what it meant before the move; a directory
// that may be searched but not read can still be entered by its path. When
// both fail the working directory stays where it was.
bool enterDirectory(int dirFd, const std::string& path) {
    if (dirFd >= 0 && fchdir(dirFd) == 0) return true;
    return chdir(path.c_str()) == 0;
}

struct KernelDirent {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[];
};

// Reads the visible names of the directory into the list, from its start;
// returns the index of the first new record.
std::size_t readNames(DirList& list, int dirFd) {
    const std::size_t first = list.records().size();
    if (lseek(dirFd, 0, SEEK_SET) != 0) return first;
    constexpr std::size_t kBlock = 64 * 1024;
    const auto block = std::make_unique<std::uint64_t[]>(kBlock / sizeof(std::uint64_t));
    char* const bytes = reinterpret_cast<char*>(block.get());
    for (;;) {
        const long got = syscall(SYS_getdents64, dirFd, bytes, kBlock);
        if (got <= 0) break;
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const KernelDirent*>(bytes + at);
            at += entry->length;
            if (entry->name[0] == '.') continue;  // hidden names, "." and ".." alike
            list.addName(entry->name);
        }
    }
    return first;
}

unsigned threadsFor(int requested, std::size_t entries) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned wanted = requested > 0 ? static_cast<unsigned>(requested) : std::min(cores, kMostThreads);
    const auto shares = static_cast<unsigned>(std::min<std::size_t>((entries + kChunk - 1) / kChunk, kMostThreads));
    return std::max(1u, std::min(wanted, shares));
}

}  // namespace

void appendEntries(DirList& list, int dirFd, int threads) {
    const std::size_t first = readNames(list, dirFd);
    PodArray<EntryRecord>& records = list.records();
    const std::size_t total = records.size();
    const uid_t euid = geteuid();
    const gid_t egid = getegid();
    const ReadCheck check = readCheckFor(dirFd);

    // The modification times wait here for one pass that turns them into
    // dates once every status is in: between status calls the kernel has
    // pushed the table of local days out of the cache.
    constexpr std::int64_t kNoTime = INT64_MIN;
    PodArray<std::int64_t> mtimes;
    mtimes.resize(total - first);
    std::atomic<std::size_t> next{first};
    auto work = [&] {
        for (;;) {
            const std::size_t begin = next.fetch_add(kChunk);
            if (begin >= total) return;
            for (std::size_t i = begin; i < std::min(begin + kChunk, total); ++i) {
                const EntryFacts facts = readFacts(dirFd, list.nameData(records[i]), check);
                describeKindAndSize(records[i], facts, euid, egid);
                mtimes[i - first] = facts.known ? static_cast<std::int64_t>(facts.mtime) : kNoTime;
            }
        }
    };
    std::vector<std::thread> helpers;
    const unsigned count = threadsFor(threads, total - first);
    for (unsigned t = 1; t < count; ++t) helpers.emplace_back(work);
    work();
    for (auto& h : helpers) h.join();
    LocalDates dates;
    for (std::size_t i = first; i < total; ++i) {
        const std::int64_t mtime = mtimes[i - first];
        records[i].setDateKey(mtime == kNoTime ? kUnknownDateKey : dates.keyOf(static_cast<std::time_t>(mtime)));
    }
}

void loadDirectory(DirList& list, const std::string& path, int sortSetting, Clock& clock) {
    // O_NONBLOCK: should the path name a FIFO, the open must not wait for a writer.
    // A path holding a NUL byte names no directory; cut at the NUL it would
    // name another one.
    const bool nameable = path.find('\0') == std::string::npos;
    const int dirFd = nameable ? open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (nameable) enterDirectory(dirFd, path);
    clock.sleepMs(kPauseMs);

    list.clear();
    list.directory = path;
    clock.sleepMs(kPauseMs);

    if (dirFd >= 0) {
        appendEntries(list, dirFd);
        close(dirFd);
    }
    clock.sleepMs(kPauseMs);

    sortList(list, sortSetting);
}

}  // namespace kestrel
