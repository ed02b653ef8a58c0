#include "frame/settings_file.h"

#include "frame/child_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace kestrel {

namespace {

constexpr int kMaxLinkHops = 40;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool closeChecked() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The file a chain of symbolic links ends at (which may not exist yet);
// empty for a loop.
std::string followLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char buf[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
        if (n < 0) return path;
        const std::string to(buf, static_cast<std::size_t>(n));
        path = to.front() == '/' ? to : parentPath(path) + "/" + to;
    }
    return {};
}

bool writeAll(int fd, const std::string& data, off_t at) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = pwrite(fd, data.data() + done, data.size() - done, at + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Root may write anything, but a file without any write permission was
// made read-only on purpose and is honoured as such.
bool mayWrite(const std::string& path, const struct stat& st) {
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
    return geteuid() != 0 || (st.st_mode & 0222) != 0;
}

bool canRead(const std::string& path) {
    Fd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    return fd.get() >= 0;
}

std::string tempPrefix(const std::string& target) { return "." + lastComponent(target) + ".kestrel-"; }

std::string tempPath(const std::string& target, pid_t pid) {
    return parentPath(target) + "/" + tempPrefix(target) + std::to_string(pid) + ".tmp";
}

// Removes temporary files of this settings file whose Kestrel is gone.
void removeStaleTemps(const std::string& target) {
    DIR* dir = opendir(parentPath(target).c_str());
    if (!dir) return;
    const std::string prefix = tempPrefix(target);
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind(prefix, 0) != 0 || name.size() <= prefix.size() + 4 || !name.ends_with(".tmp")) continue;
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        const pid_t pid = static_cast<pid_t>(std::atol(digits.c_str()));
        const bool gone = pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
        struct stat st {};
        const std::string path = parentPath(target) + "/" + name;
        if ((gone || pid == getpid()) && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == geteuid())
            unlink(path.c_str());
    }
    closedir(dir);
}

void syncDirectory(const std::string& dir) {
    Fd fd(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) fsync(fd.get());
}

enum class Replace { Done, Failed, NotHere };

// A fresh file with the old one's mode and owner, renamed over it. NotHere
// when no such file can be made (the directory may not be written, or the
// owner cannot be given): the caller then writes in place.
Replace replaceByRename(const std::string& target, const std::string& content, const struct stat* old) {
    const std::string tmp = tempPath(target, getpid());
    Fd fd(open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, old ? 0600 : 0666));
    if (fd.get() < 0) return Replace::NotHere;
    const auto drop = [&](Replace r) {
        unlink(tmp.c_str());
        return r;
    };
    if (old) {
        struct stat mine {};
        if (fstat(fd.get(), &mine) != 0) return drop(Replace::NotHere);
        if ((mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) &&
            fchown(fd.get(), old->st_uid, old->st_gid) != 0)
            return drop(Replace::NotHere);
        if (fchmod(fd.get(), old->st_mode & 07777) != 0) return drop(Replace::NotHere);
    }
    if (!writeAll(fd.get(), content, 0) || fsync(fd.get()) != 0 || !fd.closeChecked()) return drop(Replace::Failed);
    if (std::rename(tmp.c_str(), target.c_str()) != 0) return drop(Replace::Failed);
    syncDirectory(parentPath(target));
    return Replace::Done;
}

// Rewrites the file itself, so every hard link and the owner stay. The new
// text is padded with line ends to the old length before the file is cut:
// killed in between, the file still reads as the new four lines.
bool rewriteInPlace(const std::string& target, const std::string& content, const struct stat& old) {
    Fd fd(open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    if (fd.get() < 0 || fstat(fd.get(), &now) != 0 || !S_ISREG(now.st_mode) || now.st_ino != old.st_ino ||
        now.st_dev != old.st_dev)
        return false;
    std::string padded = content;
    if (static_cast<off_t>(padded.size()) < now.st_size) padded.resize(static_cast<std::size_t>(now.st_size), '\n');
    if (!writeAll(fd.get(), padded, 0) || fsync(fd.get()) != 0) return false;
    if (ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0 || fsync(fd.get()) != 0) return false;
    return fd.closeChecked();
}

}  // namespace

SettingsText readSettingsText(const std::string& file) {
    Fd fd(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return {errno == ENOENT ? SettingsState::Missing : SettingsState::Unreadable, {}};
    struct stat st {};
    if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {SettingsState::Unreadable, {}};
    SettingsText out{SettingsState::Read, {}};
    char buf[4096];
    while (out.text.size() < kSettingsReadLimit) {
        const ssize_t n = read(fd.get(), buf, std::min(sizeof buf, kSettingsReadLimit - out.text.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {SettingsState::Unreadable, {}};
        if (n == 0) break;
        out.text.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

SaveOutcome saveSettingsFile(const std::string& file, const std::string& content) {
    const std::string target = followLinks(file);
    if (target.empty()) return SaveOutcome::LeftAlone;
    removeStaleTemps(target);
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return SaveOutcome::LeftAlone;
        return replaceByRename(target, content, nullptr) == Replace::Done ? SaveOutcome::Written : SaveOutcome::Failed;
    }
    if (!S_ISREG(st.st_mode) || !canRead(target) || !mayWrite(target, st)) return SaveOutcome::LeftAlone;
    if (st.st_nlink == 1) {
        const Replace r = replaceByRename(target, content, &st);
        if (r != Replace::NotHere) return r == Replace::Done ? SaveOutcome::Written : SaveOutcome::Failed;
    }
    return rewriteInPlace(target, content, st) ? SaveOutcome::Written : SaveOutcome::Failed;
}

}  // namespace kestrel
