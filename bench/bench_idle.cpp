// The real kestrel executable left alone under a private Xvfb: the CPU it and
// the X server use while idle in the browser (pointer inside and outside the
// window), in the viewer with the pointer outside, in search mode and in the
// drive prompt. Both processes are measured from outside through their CPU
// clocks (all threads, user + system), as a share of one core; each figure is
// min / median / max of five windows of a few seconds.
//
// It also reads the peak resident size (VmHWM) of the real process once it
// shows 13,500 and 100,000 entries in the real window.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../tests/e2e/xvfb.h"
#include "bench_stats.h"
#include "real_kestrel.h"

using namespace kestrel::bench;
namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 5;
constexpr double kWindowSeconds = 3.0;

std::string output(const std::string& cmd) {
    std::string out;
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

struct Share {
    Spread kestrel, server, both;
};

Share measure(pid_t kestrel, pid_t server) {
    std::vector<double> k, x, both;
    for (int run = 0; run < kRuns; ++run) {
        const double k0 = cpuSeconds(kestrel), x0 = cpuSeconds(server);
        const auto t0 = std::chrono::steady_clock::now();
        pauseMs(static_cast<int>(kWindowSeconds * 1000));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double dk = 100 * (cpuSeconds(kestrel) - k0) / wall, dx = 100 * (cpuSeconds(server) - x0) / wall;
        k.push_back(dk);
        x.push_back(dx);
        both.push_back(dk + dx);
    }
    return {spreadOf(k), spreadOf(x), spreadOf(both)};
}

void report(const char* what, const Share& s, double target) {
    std::printf("  %-34s kestrel %s   X %s   together %s %%   (target under %.1f%%) %s\n", what,
                show(s.kestrel, "%.3f").c_str(), show(s.server, "%.3f").c_str(), show(s.both, "%.3f").c_str(),
                target, s.both.max < target ? "met" : "NOT met");
    std::fflush(stdout);
}

void makeFiles(const std::string& dir, int files) {
    fs::create_directories(dir);
    for (int i = 0; i < files; ++i) {
        const std::string name = dir + "/file" + std::to_string(1000000 + i) + ".zzz";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            if (write(fd, "some text\n", 10) != 10) std::perror("write");
            close(fd);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    // --idle: only the idle figures; --peak: only the peak memory.
    const std::string only = argc > 1 ? argv[1] : "";
    const std::string binary = kestrelBinary();
    if (!fs::exists(binary)) {
        std::fprintf(stderr, "bench_idle: build the kestrel target first (%s)\n", binary.c_str());
        return 1;
    }
    kestrel::test::Xvfb xvfb("1280x1024x24");
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "bench_idle: Xvfb did not start\n");
        return 1;
    }
    setenv("DISPLAY", xvfb.display().c_str(), 1);
    const pid_t server = xvfb.pid();
    const std::string root = "/tmp/kestrel-bench-idle-tree-" + std::to_string(getpid());
    const std::string dir = root + "/small";
    makeFiles(dir, 40);

    if (only != "--peak") {
        RealKestrel k(binary, dir, xvfb.display());
        const std::string id = output("xdotool search --sync --name '^Kestrel$' | head -1");
        k.waitSettled();
        output("xdotool windowfocus --sync " + id);
        std::printf("idle, CPU as a share of one core, min / median / max of %d windows of %.0f s:\n", kRuns,
                    kWindowSeconds);
        // Each step: an xdotool command ("@" is the window), a pause, then a
        // measurement when the step names one.
        struct Step {
            const char* command;
            int pauseMs;
            const char* measured;
            double target;
        };
        constexpr Step kSteps[] = {
            {"mousemove --window @ 300 200", 500, "browser, pointer inside", 0.2},
            {"mousemove 5 5", 500, "browser, pointer outside", 0.2},
            {"key --window @ Down", 500, nullptr, 0},  // onto the first file; no program for it: the viewer
            {"key --window @ Return", 2500, "viewer, pointer outside", 0.2},
            {"mousemove --window @ 300 200", 500, "viewer, pointer inside", 0.2},
            {"key --window @ Escape", 1500, nullptr, 0},
            {"key --window @ question", 1000, "search mode, pointer inside", 0.3},
            {"key --window @ Escape", 1000, nullptr, 0},
            {"key --window @ greater", 1000, "drive prompt, pointer inside", 0.3},
        };
        for (const Step& step : kSteps) {
            std::string command = step.command;
            if (const auto at = command.find('@'); at != std::string::npos) command.replace(at, 1, id);
            output("xdotool " + command);
            pauseMs(step.pauseMs);
            if (step.measured) report(step.measured, measure(k.pid(), server), step.target);
        }
    }

    if (only != "--idle") std::printf("peak memory (VmHWM) of the real window showing the list, min / median / max of %d:\n", kRuns);
    for (int files : {13500, 100000}) {
        if (only == "--idle") break;
        const std::string big = root + "/n" + std::to_string(files);
        makeFiles(big, files);
        std::vector<double> peaks;
        for (int run = 0; run < kRuns; ++run) {
            RealKestrel k(binary, big, xvfb.display());
            output("xdotool search --sync --name '^Kestrel$' >/dev/null");
            k.waitSettled();
            peaks.push_back(static_cast<double>(peakKiB(std::to_string(k.pid()))) / 1024.0);
        }
        const double target = files == 13500 ? 6 : 20;
        const Spread s = spreadOf(peaks);
        std::printf("  %6d entries: %s MiB   (target under %.0f) %s\n", files, show(s).c_str(), target,
                    s.max < target ? "met" : "NOT met");
        std::fflush(stdout);
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
