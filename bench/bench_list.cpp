// The Directory list at scale, judged against the machine's floor measured in
// the same run, so the figures hold on a busy machine.
//
//   bench_list            100,000 entries
//   bench_list --million  1,000,000 entries
//
// The floor is bench_floor: one thread that only reads the directory and takes
// one status per entry. Each run measures the floor right before and right
// after Kestrel's own work, and Kestrel's time is judged as a ratio to their
// mean. Kestrel's own work is the browser's reload with its pauses on a
// virtual clock (loading, sorting and drawing the first page, headless): the
// first listing in Name order, then a sort change to every mode. Memory is the
// peak resident size (VmHWM) of the real executable showing the list in a
// real window under a private Xvfb, against the same window showing an empty
// directory, as bytes per entry.
//
// Every figure is min / median / max of five runs, with the one-minute load
// average of the machine during them; a target is met when the median is.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/e2e/xvfb.h"
#include "app/main_loop.h"
#include "bench_stats.h"
#include "dirlist/dir_list.h"
#include "frame/app_state.h"
#include "real_kestrel.h"
#include "screen/screen.h"

using namespace kestrel;
using namespace kestrel::bench;

namespace {

constexpr int kRuns = 5;
constexpr double kMostRatio = 1.2;
constexpr double kMostBytesPerEntry = 90;

// CPU time this process has used, all threads.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Virtual time: the pauses advance the clock and cost nothing.
struct VirtualPauseClock final : Clock {
    std::int64_t now = 0;
    std::int64_t nowMs() override { return now; }
    void sleepMs(int ms) override { now += ms; }
};

// Names with mixed case and a few that differ only in case; sizes from empty
// to a few MB (sparse); dates spread over twenty years with many repeats.
bool populate(const std::string& dir, int files) {
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/%s%07d.%s", dir.c_str(), (i % 7 == 0) ? "File" : "file",
                      static_cast<int>((static_cast<long long>(i) * 7919) % files), (i % 3 == 0) ? "TXT" : "dat");
        const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const off_t size = (i % 10 == 0) ? 0 : static_cast<off_t>((static_cast<long long>(i) * 104729) % 5000000);
        const std::time_t when = 946684800 + static_cast<std::time_t>(i % 5000) * 126144;
        const timespec times[2] = {{when, 0}, {when, 0}};
        const bool ok = ftruncate(fd, size) == 0 && futimens(fd, times) == 0;
        close(fd);
        if (!ok) return false;
    }
    return true;
}

struct TempDirectory {
    std::string path;
    explicit TempDirectory(int files) {
        char tmpl[] = "/tmp/kestrel-bench-list-XXXXXX";
        if (mkdtemp(tmpl) == nullptr) return;
        path = tmpl;
        if (files == 0) return;
        std::printf("creating %d files in %s ...\n", files, path.c_str());
        std::fflush(stdout);
        if (!populate(path, files)) path.clear();
    }
    ~TempDirectory() {
        if (path.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// The figures, in the order the timing child prints them.
constexpr const char* kFigures[] = {"first listing (Name)", "sort change to Type", "sort change to Size",
                                    "sort change to Date", "sort change to Name"};
constexpr int kFigureCount = 5;

// The browser in a process of its own, without a window, its pauses on a
// virtual clock: prints the wall and CPU milliseconds of the first reload
// (load, sort, first page) and of a reload after each sort change.
int timeChild(const std::string& dir) {
    Input input;
    HeadlessPresenter presenter(&input);
    VirtualPauseClock clock;
    Screen screen(clock, input, presenter);
    screen.setMode(640, 480);
    App app(screen, "/tmp");
    app.selectedPath = dir;
    for (int mode : {1, 2, 3, 4, 1}) {
        app.SortList = mode;
        const double cpu0 = cpuMs();
        const double ms = msOf([&] { reload(app); });
        std::printf("%.2f %.2f\n", ms, cpuMs() - cpu0);
    }
    return 0;
}

std::string besideThisProgram(const char* name) {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return name;
    return (std::filesystem::path(std::string(exe, static_cast<std::size_t>(n))).parent_path() / name).string();
}

struct FloorRun {
    double ms = 0, cpuMs = 0;
    long entries = 0;
};

FloorRun floorRun(const std::string& dir) {
    FloorRun run;
    const std::string cmd = "'" + besideThisProgram("bench_floor") + "' '" + dir + "'";
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        if (std::fscanf(p, "%ld %lf %lf", &run.entries, &run.ms, &run.cpuMs) != 3) run = {};
        pclose(p);
    }
    return run;
}

void printLine(const char* what, const Spread& ms, const Spread& ratio, const Spread& load) {
    const bool met = ratio.median <= kMostRatio;
    std::printf("  %-22s ratio %s (target at most %.1f) %-7s  ms %s   load %s\n", what, show(ratio, "%.2f").c_str(),
                kMostRatio, met ? "met" : "NOT met", show(ms, "%.0f").c_str(), show(load, "%.1f").c_str());
}

int timing(const std::string& dir, int files) {
    // Warm the caches for both sides before measuring.
    floorRun(dir);
    runChild({"--time", dir});

    std::vector<double> floorMs, floorCpu, loads, ms[kFigureCount], ratio[kFigureCount], cpuRatio[kFigureCount];
    int status = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double load0 = loadAverage();
        const FloorRun before = floorRun(dir);
        const std::string out = runChild({"--time", dir});
        const FloorRun after = floorRun(dir);
        loads.push_back((load0 + loadAverage()) / 2);
        if (before.entries != files || after.entries != files) {
            std::printf("the floor saw %ld and %ld entries, not %d\n", before.entries, after.entries, files);
            return 1;
        }
        const double floor = (before.ms + after.ms) / 2;
        floorMs.push_back(floor);
        const double cpuFloor = (before.cpuMs + after.cpuMs) / 2;
        floorCpu.push_back(cpuFloor);
        const char* p = out.c_str();
        for (int f = 0; f < kFigureCount; ++f) {
            double wall = 0, used = 0;
            int read = 0;
            if (std::sscanf(p, "%lf %lf%n", &wall, &used, &read) != 2) {
                std::printf("the timing child printed \"%s\"\n", out.c_str());
                return 1;
            }
            p += read;
            ms[f].push_back(wall);
            cpuRatio[f].push_back(used / cpuFloor);
            ratio[f].push_back(wall / floor);
        }
    }
    std::printf("floor (bench_floor: getdents64 + statx, one thread), %d entries: ms %s (CPU %s)   load %s\n", files,
                show(spreadOf(floorMs), "%.0f").c_str(), show(spreadOf(floorCpu), "%.0f").c_str(),
                show(spreadOf(loads), "%.1f").c_str());
    std::printf("Kestrel load + sort + first page, pauses on a virtual clock, as a ratio to the floor of the same run:\n");
    for (int f = 0; f < kFigureCount; ++f) {
        printLine(kFigures[f], spreadOf(ms[f]), spreadOf(ratio[f]), spreadOf(loads));
        if (spreadOf(ratio[f]).median > kMostRatio) status = 1;
    }
    std::printf("  (CPU of all of Kestrel's threads as a ratio to the floor's CPU:");
    for (int f = 0; f < kFigureCount; ++f) std::printf(" %s", show(spreadOf(cpuRatio[f]), "%.2f").c_str());
    std::printf(")\n");
    std::fflush(stdout);
    return status;
}

// Peak resident size in MiB of the real executable showing `dir` in a real window.
std::vector<double> realPeaks(const std::string& dir, const std::string& display, std::vector<double>& loads) {
    std::vector<double> peaks;
    for (int run = 0; run < kRuns; ++run) {
        RealKestrel k(kestrelBinary(), dir, display);
        pauseMs(300);
        k.waitSettled();
        peaks.push_back(static_cast<double>(peakKiB(std::to_string(k.pid()))) / 1024.0);
        loads.push_back(loadAverage());
    }
    return peaks;
}

int memory(const std::string& dir, int files, double mostMiB) {
    kestrel::test::Xvfb xvfb("1280x1024x24");
    if (xvfb.display().empty()) {
        std::fprintf(stderr, "bench_list: Xvfb did not start\n");
        return 1;
    }
    TempDirectory empty(0);
    std::vector<double> loads;
    const Spread base = spreadOf(realPeaks(empty.path, xvfb.display(), loads));
    const std::vector<double> peaks = realPeaks(dir, xvfb.display(), loads);
    std::vector<double> perEntry;
    for (double peak : peaks) perEntry.push_back((peak - base.median) * 1024 * 1024 / files);
    const Spread peak = spreadOf(peaks), bytes = spreadOf(perEntry);
    const bool metPeak = peak.median <= mostMiB, metBytes = bytes.median <= kMostBytesPerEntry;
    std::printf("peak memory (VmHWM) of the real window, load %s:\n", show(spreadOf(loads), "%.1f").c_str());
    std::printf("  empty directory        %s MiB\n", show(base).c_str());
    std::printf("  %7d entries        %s MiB   (target at most %.0f) %s\n", files, show(peak).c_str(), mostMiB,
                metPeak ? "met" : "NOT met");
    std::printf("  per entry              %s bytes   (target at most %.0f) %s\n", show(bytes, "%.0f").c_str(),
                kMostBytesPerEntry, metBytes ? "met" : "NOT met");
    std::fflush(stdout);
    return metPeak && metBytes ? 0 : 1;
}

int measureAll(int files, double mostMiB) {
    TempDirectory tree(files);
    if (tree.path.empty()) {
        std::perror("populate");
        return 1;
    }
    const int timed = timing(tree.path, files);
    const int held = memory(tree.path, files, mostMiB);
    return timed | held;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--time") return timeChild(args[1]);
    if (args.size() == 1 && args[0] == "--million") return measureAll(1000000, 90);
    return measureAll(100000, 12);
}
