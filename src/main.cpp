// Kestrel: finds the executable's directory, opens the window and runs the
// browser until Save and exit.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "frame/app_state.h"
#include "app/program_dir.h"
#include "app/startup.h"
#include "screen/screen.h"
#include "screen/x11_presenter.h"

namespace {

// The directory of the running executable, where Kestrel.cfg and the report
// files live.
std::string executableDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    const auto slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int main() {
    kestrel::Input input;
    std::string error;
    auto presenter = kestrel::makeX11Presenter(input, error);
    if (!presenter) {
        std::fprintf(stderr, "kestrel: cannot open a window: %s\n", error.c_str());
        std::fprintf(stderr, "kestrel: it needs an X11 display; is DISPLAY set?\n");
        return 1;
    }
    kestrel::RealClock clock;
    kestrel::Screen screen(clock, input, *presenter);
    kestrel::App app(screen, executableDirectory());
    // A system-wide install: say so once, then run on without saving.
    if (auto note = kestrel::unwritableDirNote(app.exeDir)) std::fputs(note->c_str(), stderr);
    return kestrel::runKestrel(app);
}
