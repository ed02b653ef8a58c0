// Kestrel: finds the directory for its settings and reports, opens the window
// and runs the browser until Save and exit.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/app_state.h"
#include "frame/settings.h"
#include "frame/settings_file.h"
#include "frame/state_dir.h"
#include "app/startup.h"
#include "screen/palette.h"
#include "screen/screen.h"
#include "screen/x11_presenter.h"

namespace {

// The directory of the running executable, where Kestrel.cfg and the report
// files live when it is writable.
std::string executableDirectory() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    const auto slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The window appears at once, black, in the size the settings file asks for:
// start-up's own pause and its reading of the settings follow as before, and
// its mode set finds the window open and only fills it.
void openWindowAtOnce(kestrel::Presenter& presenter, const std::string& stateDir, const std::string& programDir) {
    const auto own = kestrel::readSettingsText(kestrel::settingsFilePath(stateDir));
    const bool fromProgramDir = own.state == kestrel::SettingsState::Missing && stateDir != programDir;
    const bool expanded = (fromProgramDir ? kestrel::readSettingsFile(kestrel::settingsFilePath(programDir))
                                          : kestrel::parseSettings(own.text)).BigSmall == 1;
    const int width = expanded ? 800 : 640, height = expanded ? 600 : 480;
    if (!presenter.openWindow(width, height)) return;
    const std::vector<std::uint8_t> black(static_cast<std::size_t>(width) * height, 0);
    presenter.present(black, kestrel::defaultPalette(), {0, 0, width - 1, height - 1});
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
#ifdef KESTREL_PER_USER_STATE
    constexpr bool perUserAlways = true;
#else
    constexpr bool perUserAlways = false;
#endif
    const std::string programDir = executableDirectory();
    const auto state = kestrel::chooseStateDir(programDir, perUserAlways, std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    openWindowAtOnce(*presenter, state.dir, programDir);
    kestrel::RealClock clock;
    kestrel::Screen screen(clock, input, *presenter);
    kestrel::App app(screen, state.dir);
    // Settings the user has not saved yet start from the program directory's.
    if (state.perUser) app.defaultSettingsDir = programDir;
    // Nowhere to keep them: say so once, then run on without saving.
    if (!state.note.empty()) std::fputs(state.note.c_str(), stderr);
    return kestrel::runKestrel(app);
}
