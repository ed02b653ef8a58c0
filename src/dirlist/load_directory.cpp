// Reading a directory into the Directory list.
//
// The directory is opened once and everything else is relative to that
// descriptor: the entries' status comes from fstatat on it (following links),
// so the rows are right even when the working directory could not be changed,
// and a relative path is resolved before the working directory moves.
//
// The names are read first, in the order the directory gives them; then the
// status calls, which are nearly all of the work, are shared among the cores.
// Each entry's record is written only by the thread that took it, from that
// entry's status alone, so the list is the same whatever the number of threads.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
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

EntryFacts readFacts(int dirFd, const char* name, const ReadCheck& check) {
    EntryFacts facts;
    struct stat st {};
    if (fstatat(dirFd, name, &st, 0) != 0) return facts;
    facts.known = true;
    facts.mode = st.st_mode;
    facts.uid = st.st_uid;
    facts.gid = st.st_gid;
    facts.mtime = st.st_mtim.tv_sec;
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

// Reads the visible names of the directory into the list; returns the index
// of the first new record.
std::size_t readNames(DirList& list, int dirFd) {
    const std::size_t first = list.records().size();
    // fdopendir takes over the descriptor it is given; the caller keeps its own.
    const int readFd = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (readFd < 0) return first;
    DIR* dir = fdopendir(readFd);
    if (dir == nullptr) {
        close(readFd);
        return first;
    }
    rewinddir(dir);  // the duplicate shares the offset with the caller's descriptor
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;  // hidden names, "." and ".." alike
        list.addName(entry->d_name);
    }
    closedir(dir);
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
    std::vector<EntryRecord>& records = list.records();
    const std::size_t total = records.size();
    const uid_t euid = geteuid();
    const gid_t egid = getegid();
    const ReadCheck check = readCheckFor(dirFd);

    std::atomic<std::size_t> next{first};
    auto work = [&] {
        for (;;) {
            const std::size_t begin = next.fetch_add(kChunk);
            if (begin >= total) return;
            for (std::size_t i = begin; i < std::min(begin + kChunk, total); ++i)
                describeEntry(list, records[i], readFacts(dirFd, list.nameData(records[i]), check), euid, egid);
        }
    };
    std::vector<std::thread> helpers;
    const unsigned count = threadsFor(threads, total - first);
    for (unsigned t = 1; t < count; ++t) helpers.emplace_back(work);
    work();
    for (auto& h : helpers) h.join();
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
