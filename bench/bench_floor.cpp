// The floor the listing benchmarks are judged against: a single-threaded
// program that only reads a directory (getdents64) and takes one status per
// entry (statx, following links), the least any listing must do. It keeps
// nothing, sorts nothing and draws nothing.
//
//   bench_floor DIR   prints "<entries> <ms> <cpu ms>": the time from opening
//                     DIR to the last status, on this process's wall clock
//                     and its CPU clock
//
// bench_list runs it as a child right beside each of Kestrel's measurements,
// so both see the same load on the machine and the ratio holds when the
// absolute figures do not.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct LinuxDirent64 {
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
    char name[];
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_floor DIR\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    timespec cpuStart{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuStart);
    const int dirFd = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    alignas(8) static char buffer[64 * 1024];
    long entries = 0;
    for (;;) {
        const long n = syscall(SYS_getdents64, dirFd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (long at = 0; at < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + at);
            at += d->reclen;
            if (std::strcmp(d->name, ".") == 0 || std::strcmp(d->name, "..") == 0) continue;
            struct statx st {};
            if (statx(dirFd, d->name, 0, STATX_BASIC_STATS, &st) == 0) ++entries;
        }
    }
    close(dirFd);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    timespec cpuEnd{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuEnd);
    const double cpuMs = static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec) * 1e3 +
                         static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e6;
    std::printf("%ld %.1f %.1f\n", entries, ms, cpuMs);
    return 0;
}
