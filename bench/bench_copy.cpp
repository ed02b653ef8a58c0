// Paste's copy against plain cp, in the same run: 1 GiB in one file and
// 1,001 small files, copied the way P and paste-all copy them (the sources
// looked at or listed for cp, cp found on PATH, its standard error read,
// the progress watch measuring the destination on the real clock) without
// the pauses around it and the reload after it; plain cp is started
// directly with the same arguments and waited for. The directory is listed
// before either is timed, as the shell would expand "<dir>/*" before cp. Runs alternate so both see the same load; the spreads,
// the ratios (of the medians, of paired runs, of the minima: on a loaded
// machine the minima say most about the work itself) and the load average
// are printed.
//
//   bench_copy [DIR]   (default /dev/shm where there is one, else the temporary directory)
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench_stats.h"
#include "fileops/progress.h"
#include "fileops/utility_run.h"
#include "screen/clock.h"
#include "screen/presenter.h"

extern char** environ;

using namespace kestrel;
using namespace kestrel::bench;
namespace fs = std::filesystem;

namespace {

void plainCp(std::vector<std::string> args) {
    args.insert(args.begin(), {"cp", "--"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv.data(), environ) != 0) std::abort();
    int status = 0;
    waitpid(pid, &status, 0);
}

std::string loadAverage() {
    double load[3] = {};
    if (getloadavg(load, 3) != 3) return "?";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

// Times Kestrel's copy and plain cp of `sources` into fresh directories, alternating.
void compare(App& app, const char* what, const std::vector<std::string>& sources, const fs::path& root, int rounds,
             bool checked) {
    std::vector<double> kestrel, plain;
    const fs::path viaKestrel = root / "dst-kestrel", direct = root / "dst-plain";
    const std::string before = loadAverage();
    for (int round = 0; round < rounds; ++round) {
        for (const auto& d : {viaKestrel, direct}) fs::remove_all(d), fs::create_directories(d);
        std::vector<std::string> args = sources;
        args.push_back(direct.string());
        const auto timeKestrel = [&] {
            kestrel.push_back(msOf([&] {
                ProgressWatch watch = copyWatch(app, sources, viaKestrel.string(), false);
                if (runCopy(app, false, sources, viaKestrel.string(), &watch, checked).failed()) std::fprintf(stderr, "bench_copy: cp failed\n");
            }));
        };
        const auto timePlain = [&] { plain.push_back(msOf([&] { plainCp(args); })); };
        if (round % 2) timeKestrel(), timePlain();
        else timePlain(), timeKestrel();
    }
    const Spread k = spreadOf(kestrel), p = spreadOf(plain);
    std::vector<double> paired;  // each Kestrel run against the plain run beside it: drift in load cancels
    for (std::size_t i = 0; i < kestrel.size(); ++i) paired.push_back(kestrel[i] / plain[i]);
    std::printf("%s: Kestrel %s ms, plain cp %s ms (min / median / max of %d)\n"
                "  ratio Kestrel / cp: %.3f of the medians, %.3f the median of paired runs, %.3f of the minima;"
                " load average %s before, %s after\n",
                what, show(k).c_str(), show(p).c_str(), rounds, k.median / p.median, spreadOf(paired).median,
                k.min / p.min, before.c_str(), loadAverage().c_str());
    for (const auto& d : {viaKestrel, direct}) fs::remove_all(d);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path root = base / ("kestrel-bench-copy-" + std::to_string(getpid()));
    fs::create_directories(root);
    Input input;
    RealClock clock;
    HeadlessPresenter presenter(&input);
    Screen screen(clock, input, presenter);
    screen.setMode(640, 480);
    RealRunner runner;
    App app(screen, root.string(), runner);

    const fs::path big = root / "src-big" / "big";
    fs::create_directories(big.parent_path());
    {
        std::ofstream out(big, std::ios::binary);
        std::vector<char> block(1 << 20);
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
        for (int i = 0; i < 1024; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    const fs::path small = root / "src-small";
    fs::create_directories(small);
    for (int i = 0; i < 1001; ++i) std::ofstream(small / ("file-" + std::to_string(1000 + i))) << std::string(100 + i, 'x');

    std::printf("in %s\n", base.c_str());
    compare(app, "1 GiB, one file (P)", {big.string()}, root, 9, false);
    // Paste-all lists the directory itself, leaving out what cp must not get.
    compare(app, "1,001 small files (paste-all)", everyEntryOf(small.string(), true), root, 31, true);
    fs::remove_all(root);
    return 0;
}
