// How fast the viewer opens and reaches the end of big files, and what it
// costs in memory, against reading the file into memory first, as far as the
// viewer ever reads a file whole (kWholeReadLimit, 64 MiB): a bounded reader,
// so the benchmark itself never holds a 4 GiB file.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "rig.h"
#include "viewers/byte_source.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;
using Stopwatch = std::chrono::steady_clock;

namespace {

double msSince(Stopwatch::time_point t) { return std::chrono::duration<double, std::milli>(Stopwatch::now() - t).count(); }

long statusKiB(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return -1;
}

// Resets the peak resident size to the current one (Linux 4.0 and later).
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct Figures {
    double firstPageMs, endMs;
    long growthKiB;
    std::int64_t pos;
};

template <typename MakeSource>
Figures measure(Screen& screen, MakeSource make) {
    resetPeak();
    const long before = statusKiB("VmRSS:");
    const auto t0 = Stopwatch::now();
    auto source = make();
    Pager p{screen, source, 2};
    drawForward(p, kViewerStatusRow);
    const double first = msSince(t0);
    const auto t1 = Stopwatch::now();
    lastPage(p);
    const double end = msSince(t1);
    return {first, end, statusKiB("VmHWM:") - before, p.pos};
}

void report(const char* what, const std::string& path, Screen& screen) {
    const Figures onDemand = measure(screen, [&] { return FileByteSource(path); });
    const Figures whole = measure(screen, [&] {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
        auto source = MemoryByteSource::readFrom(fd, std::min(size, kWholeReadLimit));
        if (fd >= 0) ::close(fd);
        return source;
    });
    std::printf("%s (%lld bytes)\n", what, static_cast<long long>(std::filesystem::file_size(path)));
    std::printf("  %-22s first page %9.2f ms   End %8.2f ms   memory +%8ld KiB   Pos %lld\n", "on demand",
                onDemand.firstPageMs, onDemand.endMs, onDemand.growthKiB, static_cast<long long>(onDemand.pos));
    std::printf("  %-22s first page %9.2f ms   End %8.2f ms   memory +%8ld KiB   Pos %lld\n", "first 64 MiB in memory",
                whole.firstPageMs, whole.endMs, whole.growthKiB, static_cast<long long>(whole.pos));
    // The on-demand growth can read 0 when the cache reuses pages the
    // process already holds; the ratio then says "at least".
    std::printf("  first page %.0fx faster, %s%.0fx less memory; targets: first page and End < 50 ms, memory < 4096 KiB: %s\n",
                whole.firstPageMs / onDemand.firstPageMs, onDemand.growthKiB > 0 ? "" : ">",
                static_cast<double>(whole.growthKiB) / static_cast<double>(std::max(onDemand.growthKiB, 1L)),
                onDemand.firstPageMs < 50 && onDemand.endMs < 50 && onDemand.growthKiB < 4096 ? "met" : "MISSED");
}

}  // namespace

int main() {
    char pattern[] = "/tmp/kestrel-bench-viewer-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    const std::string sparse = dir + "/sparse-4GiB", text = dir + "/text-200MiB";
    {
        const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string tail = "\nthe last line of a sparse file\n";
        const off_t size = off_t{4} << 30;
        if (fd < 0 || ftruncate(fd, size) != 0 ||
            pwrite(fd, tail.data(), tail.size(), size - static_cast<off_t>(tail.size())) < 0)
            return 1;
        ::close(fd);
    }
    {
        std::ofstream out(text, std::ios::binary);
        std::string chunk;
        for (int i = 0; chunk.size() < (1u << 20); ++i)
            chunk += "line " + std::to_string(i) + "\tof ordinary text, with a tab and some words to wrap\n";
        chunk.resize(1u << 20);
        for (int i = 0; i < 200; ++i) out << chunk;
    }
    test::Rig rig;
    rig.screen.setPages(1, 1);
    report("Sparse file of 4 GiB", sparse, rig.screen);
    report("Text file of 200 MiB", text, rig.screen);
    std::filesystem::remove_all(dir);
    return 0;
}
