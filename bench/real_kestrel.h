#pragma once
// The real kestrel executable of this build, started under a display with a
// settings file of its own that lists a chosen directory; shared by the
// benchmarks that watch the real window from outside.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kestrel::bench {

inline void pauseMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// CPU seconds a process has used, all its threads.
inline double cpuSeconds(pid_t pid) {
    clockid_t clock;
    timespec t{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &t) != 0) return 0;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// bench/bench_x -> the build directory's kestrel.
inline std::string kestrelBinary() {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "kestrel";
    return std::filesystem::path(std::string(exe, static_cast<std::size_t>(n))).parent_path().parent_path() /
           "kestrel";
}

class RealKestrel {
public:
    RealKestrel(const std::string& binary, const std::string& listed, const std::string& display, int sortList = 1) {
        const std::string exe = program_ + "/kestrel";
        std::filesystem::create_directories(program_);
        std::filesystem::copy_file(binary, exe, std::filesystem::copy_options::overwrite_existing);
        std::ofstream(program_ + "/Kestrel.cfg") << "0 BigSmall\n1 BackGround\n" << listed << "\n" << sortList << " SortList\n";
        std::vector<std::string> env = {"DISPLAY=" + display};
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.emplace_back(*e);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        started_ = std::chrono::steady_clock::now();
        if (posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RealKestrel() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(program_, ignored);
    }
    RealKestrel(const RealKestrel&) = delete;
    RealKestrel& operator=(const RealKestrel&) = delete;

    pid_t pid() const { return pid_; }
    std::chrono::steady_clock::time_point started() const { return started_; }
    // Waits until the process has used no CPU for a while: the listing is shown.
    void waitSettled() const {
        double last = cpuSeconds(pid_);
        for (int quiet = 0, i = 0; quiet < 3 && i < 600; ++i) {
            pauseMs(300);
            const double now = cpuSeconds(pid_);
            quiet = (now - last < 0.02) ? quiet + 1 : 0;
            last = now;
        }
    }

private:
    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point started_;
    std::string program_ = "/tmp/kestrel-bench-real-" + std::to_string(getpid()) + "-" + std::to_string(++serial());
    static int& serial() {
        static int n = 0;
        return n;
    }
};

}  // namespace kestrel::bench
