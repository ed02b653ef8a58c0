#pragma once
// Small helpers the benchmarks share: timing, min/median/max of repeated runs,
// the peak resident size of this process, and running a child of this very
// program so that every peak is measured in a process of its own.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace kestrel::bench {

inline double msOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct Spread {
    double min = 0, median = 0, max = 0;
};

inline Spread spreadOf(std::vector<double> v) {
    if (v.empty()) return {};
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

inline Spread timeRuns(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(msOf(work));
    return spreadOf(times);
}

inline std::string show(const Spread& s, const char* format = "%.1f") {
    char a[32], b[32], c[32];
    std::snprintf(a, sizeof a, format, s.min);
    std::snprintf(b, sizeof b, format, s.median);
    std::snprintf(c, sizeof c, format, s.max);
    return std::string(a) + " / " + b + " / " + c;
}

// VmHWM of a process in KiB ("self" or a pid), 0 when it cannot be read.
inline long peakKiB(const std::string& pid = "self") {
    std::ifstream in("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// The machine's load average over the last minute, printed beside every
// figure: on a shared machine the absolute times follow it.
inline double loadAverage() {
    double one = 0;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &one) != 1) one = 0;
        std::fclose(f);
    }
    return one;
}

// Runs this program again with `args` and returns what it printed.
inline std::string runChild(const std::vector<std::string>& args) {
    std::string cmd = "/proc/" + std::to_string(getpid()) + "/exe";
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) cmd.assign(exe, static_cast<std::size_t>(n));
    for (const auto& a : args) cmd += " '" + a + "'";
    std::string out;
    if (std::FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

}  // namespace kestrel::bench
