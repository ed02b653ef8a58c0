#include "fileops/paste_checks.h"

#include "frame/child_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace kestrel {

namespace {

constexpr std::size_t kMessageWidth = 75;  // what the message row blanks

std::string childOf(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

std::string realPathOf(const std::string& path) {
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

bool sameEntry(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool isStream(mode_t m) { return S_ISFIFO(m) || S_ISSOCK(m) || S_ISCHR(m) || S_ISBLK(m); }

// Gone for good: a missing name or a missing directory on the way. A path
// that cannot be looked at (no permission) is Unknown: it goes to the
// utility unchecked, which says why it fails.
enum class Presence { There, Gone, Unknown };
Presence presence(const std::string& path, struct stat& st) {
    if (lstat(path.c_str(), &st) == 0) return Presence::There;
    return errno == ENOENT || errno == ENOTDIR ? Presence::Gone : Presence::Unknown;
}

bool within(const std::string& inner, const std::string& outer) {
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           (outer == "/" || inner[outer.size()] == '/');
}

// prefix + the first path's name + " and N more" + suffix, the name cut so
// that the whole stays on the message row.
std::string naming(const std::string& prefix, const std::vector<std::string>& paths, const std::string& one,
                   const std::string& many) {
    if (paths.empty()) return "";
    const std::string more = paths.size() > 1 ? " and " + std::to_string(paths.size() - 1) + " more" + many : one;
    std::string name = lastComponent(paths.front());
    const std::size_t room = kMessageWidth - std::min(kMessageWidth, prefix.size() + more.size());
    if (name.size() > room) name = name.substr(0, room);
    return prefix + name + more;
}

std::vector<std::string> currentMountPoints() {
    std::ifstream in("/proc/self/mountinfo");
    return mountPointsOf(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace

PastePlan planPaste(const std::vector<std::string>& sources, const std::string& dir, bool recursive) {
    PastePlan plan;
    const std::string dirReal = realPathOf(dir);
    for (const std::string& src : sources) {
        struct stat entry{};
        const Presence p = presence(src, entry);
        if (p == Presence::Gone) plan.vanished.push_back(src);
        else plan.sources.push_back(src);
        if (p != Presence::There) continue;
        // cp -r copies a link as a link; a plain cp copies what it points to.
        struct stat copied = entry;
        if (!recursive && stat(src.c_str(), &copied) != 0) continue;  // a dangling link: cp says so
        const bool directory = S_ISDIR(copied.st_mode);
        if (!recursive && (directory || isStream(copied.st_mode))) continue;  // not copied without -r
        if (recursive && directory && plan.refused.empty() && !dirReal.empty()) {
            const std::string srcReal = realPathOf(src);
            if (dirReal == srcReal || within(dirReal, srcReal))
                plan.refused = "Cannot copy a directory into itself: " + lastComponent(src);
        }
        const std::string dest = childOf(dir, lastComponent(src));
        struct stat there{};
        if (lstat(dest.c_str(), &there) != 0) continue;
        if (plan.refused.empty() && (sameEntry(there, entry) || sameEntry(there, copied)))
            plan.refused = (directory ? "Cannot copy a directory into itself: " : "Cannot copy a file onto itself: ") +
                           lastComponent(src);
        plan.clashes.push_back(dest);
    }
    if (plan.refused.size() > kMessageWidth) plan.refused.resize(kMessageWidth);
    return plan;
}

void unlinkClashingLinks(const std::vector<std::string>& clashes) {
    for (const std::string& dest : clashes) {
        struct stat st{};
        if (lstat(dest.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(dest.c_str());
    }
}

KillPlan planKill(const std::vector<std::string>& paths, bool recursive) {
    KillPlan plan;
    const std::vector<std::string> mounts = currentMountPoints();
    std::map<std::string, std::pair<std::string, struct stat>> parents;  // parent -> its real path and stat
    for (const std::string& path : paths) {
        struct stat entry{};
        const Presence p = presence(path, entry);
        if (p == Presence::Gone) {
            plan.vanished.push_back(path);
            continue;
        }
        if (p == Presence::Unknown || (!recursive && S_ISDIR(entry.st_mode))) {  // rm without -r leaves a directory
            plan.paths.push_back(path);
            continue;
        }
        const std::string parent = parentPath(path);
        auto it = parents.find(parent);
        if (it == parents.end()) {
            struct stat st{};
            if (stat(parent.c_str(), &st) != 0) st.st_dev = entry.st_dev;
            it = parents.emplace(parent, std::pair(realPathOf(parent), st)).first;
        }
        const auto& [parentReal, parentStat] = it->second;
        // A mount point shows as another device, except a bind mount of the
        // same file system: the mount table tells that one.
        bool elsewhere = entry.st_dev != parentStat.st_dev;
        if (!parentReal.empty()) {
            const std::string real = childOf(parentReal, lastComponent(path));
            for (const std::string& m : mounts)
                if (m == real || (S_ISDIR(entry.st_mode) && within(m, real))) elsewhere = true;
        }
        (elsewhere ? plan.otherFileSystem : plan.paths).push_back(path);
    }
    return plan;
}

std::vector<std::string> existingPaths(const std::vector<std::string>& paths, std::vector<std::string>* vanished) {
    std::vector<std::string> kept;
    for (const std::string& path : paths) {
        struct stat st{};
        if (presence(path, st) != Presence::Gone) kept.push_back(path);
        else if (vanished) vanished->push_back(path);
    }
    return kept;
}

std::string replaceQuestionLine(const std::vector<std::string>& clashes) {
    return naming("", clashes, " already exists", " already exist");
}

std::string vanishedMessage(const std::vector<std::string>& vanished) {
    return naming("No longer there, skipped: ", vanished, "", "");
}

std::string otherFileSystemMessage(const std::vector<std::string>& leftOut) {
    return naming("On another file system, left out: ", leftOut, "", "");
}

std::vector<std::string> mountPointsOf(const std::string& mountinfo) {
    std::vector<std::string> points;
    std::size_t at = 0;
    while (at < mountinfo.size()) {
        std::size_t end = mountinfo.find('\n', at);
        if (end == std::string::npos) end = mountinfo.size();
        // Fields: id, parent id, major:minor, root, mount point, ...
        std::size_t field = at;
        for (int i = 0; i < 4 && field < end; ++i) {
            field = mountinfo.find(' ', field);
            field = field == std::string::npos || field >= end ? end : field + 1;
        }
        std::size_t stop = mountinfo.find(' ', field);
        if (stop == std::string::npos || stop > end) stop = end;
        std::string point;
        for (std::size_t i = field; i < stop; ++i) {
            const char c = mountinfo[i];
            if (c == '\\' && i + 3 < stop) {
                const std::string oct = mountinfo.substr(i + 1, 3);
                if (oct.find_first_not_of("01234567") == std::string::npos) {
                    point += static_cast<char>(std::stoi(oct, nullptr, 8));
                    i += 3;
                    continue;
                }
            }
            point += c;
        }
        if (!point.empty()) points.push_back(point);
        at = end + 1;
    }
    return points;
}

}  // namespace kestrel
