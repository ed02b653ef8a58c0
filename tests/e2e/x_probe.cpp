#include "x_probe.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace kestrel::test {

namespace {

Display* asDisplay(void* p) { return static_cast<Display*>(p); }

Rgb rgbOf(XImage* image, int x, int y) {
    const unsigned long pixel = XGetPixel(image, x, y);
    auto component = [&](unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<std::uint8_t>((pixel >> shift) & mask);
    };
    return {component(image->red_mask), component(image->green_mask), component(image->blue_mask)};
}

}  // namespace

std::string runCommand(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::optional<WindowInfo> windowInfo(unsigned long window) {
    const std::string report = runCommand("xwininfo -all -id " + std::to_string(window) + " 2>/dev/null");
    WindowInfo info;
    int found = 0;
    std::istringstream lines(report);
    std::string line;
    auto field = [&](const char* label, int& into) {
        const auto at = line.find(label);
        if (at == std::string::npos) return;
        into = std::stoi(line.substr(at + std::strlen(label)));
        ++found;
    };
    while (std::getline(lines, line)) {
        field("Absolute upper-left X:", info.x);
        field("Absolute upper-left Y:", info.y);
        field("Width:", info.width);
        field("Height:", info.height);
        if (line.find("Map State:") != std::string::npos) info.viewable = line.find("IsViewable") != std::string::npos;
        if (line.find("Override Redirect State:") != std::string::npos)
            info.overrideRedirect = line.find("yes") != std::string::npos;
    }
    if (found < 4) return std::nullopt;
    return info;
}

unsigned long findWindow(const std::string& title) {
    const std::string out = runCommand("xdotool search --name '^" + title + "$' 2>/dev/null");
    return out.empty() ? 0 : std::stoul(out);
}

XProbe::XProbe(const std::string& display) : dpy_(XOpenDisplay(display.c_str())) {}

XProbe::~XProbe() {
    if (dpy_) {
        uncover();
        XCloseDisplay(asDisplay(dpy_));
    }
}

Rgb XProbe::windowPixel(unsigned long window, int x, int y) {
    Display* d = asDisplay(dpy_);
    XSync(d, False);
    XImage* image = XGetImage(d, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return {1, 2, 3};
    const Rgb c = rgbOf(image, 0, 0);
    XDestroyImage(image);
    return c;
}

Rgb XProbe::screenPixel(int x, int y) { return windowPixel(DefaultRootWindow(asDisplay(dpy_)), x, y); }

void XProbe::sendProtocol(unsigned long window, const char* protocol, long timestamp) {
    Display* d = asDisplay(dpy_);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, protocol, False));
    ev.xclient.data.l[1] = timestamp;
    ev.xclient.data.l[2] = static_cast<long>(window);
    // Listen on the root before asking, so a quick answer is not missed.
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSendEvent(d, window, False, NoEventMask, &ev);
    XSync(d, False);
}

bool XProbe::pingAnswered(unsigned long window, long timestamp, int limitMs) {
    Display* d = asDisplay(dpy_);
    const Atom ping = XInternAtom(d, "_NET_WM_PING", False);
    return waitFor(
        [&] {
            while (XPending(d)) {
                XEvent ev;
                XNextEvent(d, &ev);
                if (ev.type == ClientMessage && ev.xclient.window == DefaultRootWindow(d) &&
                    static_cast<Atom>(ev.xclient.data.l[0]) == ping && ev.xclient.data.l[1] == timestamp &&
                    static_cast<unsigned long>(ev.xclient.data.l[2]) == window)
                    return true;
            }
            return false;
        },
        limitMs);
}

void XProbe::cover(int x, int y, int width, int height) {
    Display* d = asDisplay(dpy_);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = WhitePixel(d, DefaultScreen(d));
    cover_ = XCreateWindow(d, DefaultRootWindow(d), x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                           0, CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attrs);
    XMapRaised(d, cover_);
    XSync(d, False);
}

void XProbe::uncover() {
    if (!cover_) return;
    XDestroyWindow(asDisplay(dpy_), cover_);
    XSync(asDisplay(dpy_), False);
    cover_ = 0;
}

}  // namespace kestrel::test
