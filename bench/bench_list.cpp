// Loading a directory of 100,000 files in each sort mode, against `ls -l` on
// the same directory in the same run. The loader's three pauses are skipped
// (a clock whose sleep returns at once), so the figures are the work alone.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "dirlist/dir_list.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kRuns = 5;

struct NoPauseClock final : kestrel::Clock {
    std::int64_t nowMs() override { return 0; }
    void sleepMs(int) override {}
};

double msOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double medianMs(const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) times.push_back(msOf(work));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Names with mixed case and a few that differ only in case; sizes from empty
// to a few MB (sparse); dates spread over twenty years with many repeats.
bool populate(const std::string& dir) {
    for (int i = 0; i < kFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/%s%06d.%s", dir.c_str(), (i % 7 == 0) ? "File" : "file",
                      (i * 7919) % kFiles, (i % 3 == 0) ? "TXT" : "dat");
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

}  // namespace

int main() {
    char tmpl[] = "/tmp/kestrel-bench-list-XXXXXX";
    if (mkdtemp(tmpl) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = tmpl;
    const int home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::printf("creating %d files in %s ...\n", kFiles, dir.c_str());
    std::fflush(stdout);
    int status = 0;
    if (!populate(dir)) {
        std::perror("populate");
        status = 1;
    } else {
        NoPauseClock clock;
        kestrel::DirList list;
        const std::string ls = "ls -l '" + dir + "' > /dev/null";
        // Warm the caches for both sides before measuring.
        kestrel::loadDirectory(list, dir, 1, clock);
        if (std::system(ls.c_str()) != 0) status = 1;
        const double lsMs = medianMs([&] {
            if (std::system(ls.c_str()) != 0) status = 1;
        });

        // Where the time goes: reading and formatting versus sorting.
        kestrel::DirList unsorted;
        const int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const double readMs = medianMs([&] {
            unsorted = kestrel::DirList{};
            unsorted.rowText.assign(kestrel::kMinimumSlots, "");
            unsorted.names.assign(kestrel::kMinimumSlots, "");
            kestrel::appendEntries(unsorted, dirFd);
        });
        close(dirFd);
        std::printf("entries %d; reading, status and formatting alone: %.1f ms\n", list.count - 1, readMs);
        std::printf("%-6s %12s %10s %10s %8s\n", "mode", "Kestrel ms", "sort ms", "ls -l ms", "ratio");
        const char* names[] = {"", "Name", "Type", "Size", "Date"};
        for (int mode = 1; mode <= 4; ++mode) {
            const double loadMs = medianMs([&] { kestrel::loadDirectory(list, dir, mode, clock); });
            std::vector<double> sortTimes;
            for (int run = 0; run < kRuns; ++run) {
                kestrel::DirList copy = unsorted;  // in directory order, as the loader sorts it
                sortTimes.push_back(msOf([&] { kestrel::sortList(copy, mode); }));
            }
            std::sort(sortTimes.begin(), sortTimes.end());
            const double sortMs = sortTimes[sortTimes.size() / 2];
            std::printf("%-6s %12.1f %10.1f %10.1f %8.2f\n", names[mode], loadMs, sortMs, lsMs, loadMs / lsMs);
        }
    }
    if (home >= 0) {
        if (fchdir(home) != 0) status = 1;
        close(home);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return status;
}
