// Reading a directory into the Directory list.
//
// The directory is opened once and everything else is relative to that
// descriptor: the entries' status comes from fstatat on it (following links),
// so the rows are right even when the working directory could not be changed,
// and a relative path is resolved before the working directory moves.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dirlist/dir_list.h"
#include "dirlist/entry_size.h"

namespace kestrel {

namespace {

constexpr int kPauseMs = 20;

EntryFacts readFacts(int dirFd, const char* name) {
    EntryFacts facts;
    struct stat st {};
    if (fstatat(dirFd, name, &st, 0) != 0) return facts;
    facts.known = true;
    facts.mode = st.st_mode;
    facts.uid = st.st_uid;
    facts.gid = st.st_gid;
    facts.mtime = st.st_mtim.tv_sec;
    facts.size = readableSize(dirFd, name, st);
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

void startFresh(DirList& list) {
    list.rowText.assign(kMinimumSlots, std::string());
    list.names.assign(kMinimumSlots, std::string());
    list.count = 1;
    list.rowText[1] = parentRowText();
    list.names[1] = "..";
}

void addBlankRows(DirList& list) {
    const std::size_t needed = static_cast<std::size_t>(list.count) + kBlankRowsAfterList + 1;
    if (list.rowText.size() < needed) {
        list.rowText.resize(needed);
        list.names.resize(needed);
    }
    for (int i = list.count + 1; i <= list.count + kBlankRowsAfterList; ++i)
        list.rowText[i].assign(kRowWidth, ' ');
}

}  // namespace

void appendEntries(DirList& list, int dirFd) {
    // fdopendir takes over the descriptor it is given; the caller keeps its own.
    const int readFd = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (readFd < 0) return;
    DIR* dir = fdopendir(readFd);
    if (dir == nullptr) {
        close(readFd);
        return;
    }
    rewinddir(dir);  // the duplicate shares the offset with the caller's descriptor
    const uid_t euid = geteuid();
    const gid_t egid = getegid();
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;  // hidden names, "." and ".." alike
        const std::size_t at = static_cast<std::size_t>(list.count) + 1;
        if (list.rowText.size() <= at) {
            // Past the classic capacity: grow rather than drop entries.
            const std::size_t grown = at * 3 / 2 + 1;
            list.rowText.resize(grown);
            list.names.resize(grown);
        }
        list.names[at] = entry->d_name;
        list.rowText[at] = rowText(list.names[at], readFacts(dirFd, entry->d_name), euid, egid);
        list.count = static_cast<int>(at);
    }
    closedir(dir);
}

void loadDirectory(DirList& list, const std::string& path, int sortSetting, Clock& clock) {
    // O_NONBLOCK: should the path name a FIFO, the open must not wait for a writer.
    // A path holding a NUL byte names no directory; cut at the NUL it would
    // name another one.
    const bool nameable = path.find('\0') == std::string::npos;
    const int dirFd = nameable ? open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC) : -1;
    if (nameable) enterDirectory(dirFd, path);
    clock.sleepMs(kPauseMs);

    startFresh(list);
    clock.sleepMs(kPauseMs);

    if (dirFd >= 0) {
        appendEntries(list, dirFd);
        close(dirFd);
    }
    clock.sleepMs(kPauseMs);
    addBlankRows(list);

    sortList(list, sortSetting);
    list.rowText[1] = parentRowText();
}

}  // namespace kestrel
