// An idle Kestrel window under a private Xvfb: a loop that only polls the
// keyboard and the mouse and sleeps 50 ms per pass, for 10 seconds. Prints
// the CPU the process used (both threads, user + system) as a share of one core.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "../tests/e2e/xvfb.h"
#include "screen/screen.h"
#include "screen/x11_presenter.h"

using namespace kestrel;

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

}  // namespace

int main() {
    test::Xvfb xvfb("1280x1024x24");
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "bench_idle: Xvfb did not start\n");
        return 1;
    }
    Input input;
    RealClock clock;
    std::string error;
    auto presenter = makeX11Presenter(input, error, {xvfb.display(), true});
    if (!presenter) {
        std::fprintf(stderr, "bench_idle: %s\n", error.c_str());
        return 1;
    }
    Screen screen(clock, input, *presenter);
    screen.setMode(640, 480);
    screen.setTitle("Kestrel");
    screen.print("Idle", true);
    screen.flush();

    constexpr int kSeconds = 10;
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    long passes = 0;
    while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(kSeconds)) {
        screen.pollKey();
        screen.pollMouse();
        screen.sleep(50);
        ++passes;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = cpuSeconds() - cpu0;
    std::printf("idle poll loop (pollKey, pollMouse, sleep 50 ms), %.1f s, %ld passes:\n", wall, passes);
    std::printf("  CPU %.3f s = %.3f%% of one core   (target: under 0.5%%)\n", cpu, 100.0 * cpu / wall);
    return 0;
}
