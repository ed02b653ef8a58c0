// Kestrel: finds the executable's directory, opens the window and runs the
// browser until Save and exit.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "frame/app_state.h"
#include "frame/settings.h"
#include "app/program_dir.h"
#include "app/startup.h"
#include "screen/palette.h"
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

// The window appears at once, black, in the size the settings file asks for:
// start-up's own pause and its reading of the settings follow as before, and
// its mode set finds the window open and only fills it.
void openWindowAtOnce(kestrel::Presenter& presenter, const std::string& exeDir) {
    const bool expanded = kestrel::readSettingsFile(kestrel::settingsFilePath(exeDir)).BigSmall == 1;
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
    const std::string exeDir = executableDirectory();
    openWindowAtOnce(*presenter, exeDir);
    kestrel::RealClock clock;
    kestrel::Screen screen(clock, input, *presenter);
    kestrel::App app(screen, exeDir);
    // A system-wide install: say so once, then run on without saving.
    if (auto note = kestrel::unwritableDirNote(app.exeDir)) std::fputs(note->c_str(), stderr);
    return kestrel::runKestrel(app);
}
