#pragma once
// Where Kestrel keeps Kestrel.cfg and its reports. Beside the executable when
// that directory is writable (an install for one user, a build tree); on a
// shared install, where it is not, in a directory of the user's own, so that
// no one sees another user's reports or shares their settings.
#include <string>

namespace kestrel {

struct StateDir {
    std::string dir;   // where the settings and every report and list file go
    bool perUser = false;
    std::string note;  // one line for standard error when `dir` cannot be used; else empty
};

// `perUserAlways` is set for a packaged build, whose program directory under
// /usr is never written, not even by root. The per-user directory is
// $XDG_STATE_HOME/kestrel (an absolute XDG_STATE_HOME only), else
// $HOME/.local/state/kestrel, each missing directory created mode 0700.
StateDir chooseStateDir(const std::string& programDir, bool perUserAlways, const char* xdgStateHome,
                        const char* home);

}  // namespace kestrel
