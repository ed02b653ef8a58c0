#include "frame/state_dir.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kestrel {

namespace {

bool writableDir(const std::string& dir) { return access(dir.c_str(), W_OK | X_OK) == 0; }

// Creates `dir` and its missing parents, each mode 0700; true when it is a
// directory this user may write.
bool makeDirs(const std::string& dir) {
    for (std::size_t at = 1; at != std::string::npos;) {
        at = dir.find('/', at + 1);
        const std::string part = dir.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && writableDir(dir);
}

std::string homeDir(const char* home) {
    if (home && home[0] == '/') return home;
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir && pw->pw_dir[0] == '/' ? pw->pw_dir : "";
}

}  // namespace

StateDir chooseStateDir(const std::string& programDir, bool perUserAlways, const char* xdgStateHome,
                        const char* home) {
    if (!perUserAlways && writableDir(programDir)) return {programDir, false, ""};
    std::string base = xdgStateHome && xdgStateHome[0] == '/' ? std::string(xdgStateHome) : std::string();
    if (base.empty()) {
        const std::string h = homeDir(home);
        if (!h.empty()) base = (h == "/" ? "" : h) + "/.local/state";
    }
    if (base.empty()) return {programDir, false, "kestrel: no home directory: settings (Kestrel.cfg) and reports will not be saved\n"};
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string dir = (base == "/" ? "" : base) + "/kestrel";
    if (makeDirs(dir)) return {dir, true, ""};
    return {dir, true, "kestrel: cannot write to " + dir + ": settings (Kestrel.cfg) and reports will not be saved\n"};
}

}  // namespace kestrel
