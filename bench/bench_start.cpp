// How soon the real window appears: the time from starting the real kestrel
// executable under a private Xvfb to the server's MapNotify for its window,
// seen by a client of this benchmark that watches the root window. Ten
// starts; min / median / max with the one-minute load average beside them.
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "../tests/e2e/xvfb.h"
#include "bench_stats.h"
#include "real_kestrel.h"

using namespace kestrel::bench;

namespace {

constexpr int kRuns = 10;
constexpr double kTargetMs = 50;

// Milliseconds from the start of `k` to the first window mapped on the root, or -1.
double msToMap(Display* dpy, const RealKestrel& k) {
    const auto limit = k.started() + std::chrono::seconds(10);
    for (;;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify)
                return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - k.started()).count();
        }
        if (std::chrono::steady_clock::now() > limit) return -1;
        pollfd p{ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 5);
    }
}

}  // namespace

int main() {
    const std::string binary = kestrelBinary();
    if (!std::filesystem::exists(binary)) {
        std::fprintf(stderr, "bench_start: build the kestrel target first (%s)\n", binary.c_str());
        return 1;
    }
    kestrel::test::Xvfb xvfb("1280x1024x24");
    Display* dpy = xvfb.display().empty() ? nullptr : XOpenDisplay(xvfb.display().c_str());
    if (!dpy) {
        std::fprintf(stderr, "bench_start: Xvfb did not start\n");
        return 1;
    }
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    const std::string dir = "/tmp/kestrel-bench-start-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);

    std::vector<double> times, loads;
    for (int run = 0; run <= kRuns; ++run) {
        double ms = 0;
        {
            RealKestrel k(binary, dir, xvfb.display());
            ms = msToMap(dpy, k);
            k.waitSettled();
        }
        XSync(dpy, True);  // the closed window's events go
        if (run == 0) continue;  // the first start warms the caches
        if (ms < 0) {
            std::printf("the window did not appear\n");
            return 1;
        }
        times.push_back(ms);
        loads.push_back(loadAverage());
    }
    const Spread s = spreadOf(times);
    std::printf("window mapped after start, ms, min / median / max of %d: %s   (target under %.0f) %s   load %s\n", kRuns,
                show(s).c_str(), kTargetMs, s.median < kTargetMs ? "met" : "NOT met", show(spreadOf(loads)).c_str());
    XCloseDisplay(dpy);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return s.median < kTargetMs ? 0 : 1;
}
