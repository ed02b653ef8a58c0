// The calculator panel. First, the work of each key in the headless harness
// (virtual clock, so the sleeps cost nothing and only the operation, the
// display refresh and the six record lines are counted). Then the CPU the
// panel uses while it has the focus and nothing happens, for 10 seconds on the
// real clock in a real window under a private Xvfb.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "../tests/e2e/xvfb.h"
#include "../tests/support/rig.h"
#include "../tests/support/temp_dir.h"
#include "calc/calc_screen.h"
#include "extern/recording_runner.h"
#include "screen/x11_presenter.h"

using namespace kestrel;

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

constexpr int kPresses = 300;
constexpr int kGapMs = 100;
constexpr int kSeconds = 10;

// Wall time of one calculator session on virtual time: the panel drawn, then
// `presses` repetitions of `keys` (each key kGapMs apart), then the pointer
// leaves.
double sessionMs(const std::string& keys, int presses) {
    test::Rig rig(800, 600);
    test::TempDir dir;
    RecordingRunner runner;
    App app(rig.screen, dir.path, runner);
    app.BigSmall = 1;
    app.kept = {700, 40, 0, 0, true};
    rig.input.pointerMoved(700, 40);
    rig.clock.limitMs = 1LL << 40;
    for (int i = 0; i < presses; ++i)
        for (char k : keys) rig.script.wait(kGapMs).key(static_cast<unsigned char>(k));
    rig.script.wait(kGapMs).move(300, 200);
    const auto t0 = std::chrono::steady_clock::now();
    runCalculator(app);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void keyWork() {
    struct Row {
        const char* name;
        const char* keys;
    };
    const Row rows[] = {
        {"digit 7", "7"},          {"point then 5", ".5"},        {"backspace", "\b"},
        {"2 + 3 = (per key)", "2+3="}, {"1 / 3 = (per key)", "1/3="}, {"percent", "2+1%"},
        {"PI", "P"},                {"store M", "M"},             {"recall R", "R"},
        {"clear C", "C"},           {"ignored key Q", "Q"},
    };
    // Each row: the whole session per key (the idle passes between keys
    // included, so an upper bound), and the same session with every key
    // replaced by an ignored one subtracted (the key's own work).
    std::printf("key work in the headless harness (virtual clock; operation + display + six lines):\n");
    std::printf("  %-20s %14s %14s\n", "key", "upper bound", "key's own");
    for (const auto& r : rows) {
        const int keys = kPresses * static_cast<int>(std::string(r.keys).size());
        const std::string idle(std::string(r.keys).size(), '\0');  // NUL is ignored like any unknown key
        double bound = 1e9, own = 1e9;
        for (int round = 0; round < 3; ++round) {
            const double withKeys = sessionMs(r.keys, kPresses);
            const double idleOnly = sessionMs(idle, kPresses);
            bound = std::min(bound, withKeys / keys);
            own = std::min(own, (withKeys - idleOnly) / keys);
        }
        std::printf("  %-20s %11.4f ms %11.4f ms   (target: under 1 ms)\n", r.name, bound, std::max(own, 0.0));
    }
}

void idleCpu() {
    test::Xvfb xvfb("1280x1024x24");
    if (xvfb.display().empty()) {
        std::printf("idle in the calculator: Xvfb did not start, not measured\n");
        return;
    }
    Input input;
    RealClock clock;
    std::string error;
    auto presenter = makeX11Presenter(input, error, {xvfb.display(), true});
    if (!presenter) {
        std::printf("idle in the calculator: %s\n", error.c_str());
        return;
    }
    Screen screen(clock, input, *presenter);
    screen.setMode(800, 600);
    test::TempDir dir;
    RecordingRunner runner;
    App app(screen, dir.path, runner);
    app.BigSmall = 1;
    screen.setMouse(700, 40, true);
    screen.sleep(200);
    input.pointerMoved(700, 40);
    app.kept = {700, 40, 0, 0, true};

    std::thread leave([&input] {
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        input.pointerMoved(300, 200);
    });
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    runCalculator(app);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = cpuSeconds() - cpu0;
    leave.join();
    std::printf("idle in the calculator (real window, Xvfb), %.1f s:\n", wall);
    std::printf("  CPU %.3f s = %.3f%% of one core   (target: under 0.5%%)\n", cpu, 100.0 * cpu / wall);
}

}  // namespace

int main() {
    keyWork();
    idleCpu();
    return 0;
}
