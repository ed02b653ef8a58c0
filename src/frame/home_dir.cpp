#include "frame/home_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace kestrel {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool absolute(const char* path) { return path && path[0] == '/'; }

}  // namespace

std::string homeDirectoryFor(uid_t uid, const char* homeVariable, const char* passwdHome) {
    if (uid == 0) return "/root";
    if (absolute(homeVariable)) return withoutTrailingSlashes(homeVariable);
    if (absolute(passwdHome)) return withoutTrailingSlashes(passwdHome);
    return "/";
}

std::string homeDirectory() {
    const uid_t uid = getuid();
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    const bool known = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found;
    return homeDirectoryFor(uid, std::getenv("HOME"), known ? entry.pw_dir : nullptr);
}

}  // namespace kestrel
