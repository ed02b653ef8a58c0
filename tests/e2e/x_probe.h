#pragma once
// What an end-to-end test sees of Kestrel's window from outside: the X11
// utilities' reports and a connection of the test's own for reading pixels
// and sending window-manager messages.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "screen/palette.h"

namespace kestrel::test {

// Runs a shell command and returns its standard output.
std::string runCommand(const std::string& command);

// Polls `done` until it holds or `limitMs` passes; returns the last result.
inline bool waitFor(const std::function<bool()>& done, int limitMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

struct WindowInfo {
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
    bool overrideRedirect = true;
    bool operator==(const WindowInfo&) const = default;
};

// xwininfo's report of a window; nullopt when it knows no such window.
std::optional<WindowInfo> windowInfo(unsigned long window);

// The top-level window titled `title` (found with xdotool), or 0.
unsigned long findWindow(const std::string& title);

class XProbe {
public:
    explicit XProbe(const std::string& display);
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool connected() const { return dpy_ != nullptr; }
    // The colour on screen at a desktop position (read from the root
    // window, so it is what a person sees there).
    Rgb screenPixel(int x, int y);
    // The colour of a window's own pixel.
    Rgb windowPixel(unsigned long window, int x, int y);
    // Sends a WM_PROTOCOLS message as a window manager would.
    void sendProtocol(unsigned long window, const char* protocol, long timestamp = 0);
    // Waits for a _NET_WM_PING reply for `window` on the root window.
    bool pingAnswered(unsigned long window, long timestamp, int limitMs = 5000);
    // Maps (or removes) a plain white window over the given desktop area.
    void cover(int x, int y, int width, int height);
    void uncover();

private:
    void* dpy_ = nullptr;  // Display*, kept opaque so X11 stays out of the tests' headers
    unsigned long cover_ = 0;
};

}  // namespace kestrel::test
