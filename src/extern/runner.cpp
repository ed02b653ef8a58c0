#include "extern/runner.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include "extern/arguments.h"

extern char** environ;

namespace kestrel {

RunResult Runner::run(const Launch& launch) {
    auto child = this->launch(launch);
    child->wait(-1);
    return child->result();
}

int Runner::runShell(const std::string& line) {
    const RunResult r = run(Launch::shellLine(line));
    switch (r.outcome) {
        case RunResult::Outcome::Exited: return r.status;
        case RunResult::Outcome::Signaled: return 128 + r.status;
        case RunResult::Outcome::NotStarted: break;
    }
    return -1;
}

RunResult Runner::startProgram(const std::string& program, const std::vector<std::string>& args) {
    return run(Launch::direct(program, args));
}

RunResult Runner::startProgramWithoutInput(const std::string& program, const std::vector<std::string>& args) {
    return run(Launch::direct(program, args, true));
}

RunResult Runner::startProgramArgString(const std::string& program, const std::string& argString) {
    return startProgram(program, splitArguments(argString));
}

namespace {

constexpr std::size_t kErrorLineMax = 512;

bool holdsNul(const std::string& text) { return text.find('\0') != std::string::npos; }

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

// Attributes and file actions that give the child a clean start: the
// descriptors Kestrel holds (the display connection, directory handles) are
// none of its business, and a signal Kestrel blocks or ignores must not stay
// blocked or ignored in cp or an editor.
class SpawnSetup {
public:
    SpawnSetup(bool withoutInput, int errorFd) {
        posix_spawnattr_init(&attr_);
        posix_spawn_file_actions_init(&actions_);
        sigset_t empty;
        sigemptyset(&empty);
        posix_spawnattr_setsigmask(&attr_, &empty);
        sigset_t standard;
        sigemptyset(&standard);
        for (int sig = 1; sig < 32; ++sig)
            if (sig != SIGKILL && sig != SIGSTOP) sigaddset(&standard, sig);
        posix_spawnattr_setsigdefault(&attr_, &standard);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (withoutInput) posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        if (errorFd >= 0) posix_spawn_file_actions_adddup2(&actions_, errorFd, 2);
        posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // Starts the program (looked up on PATH when its name holds no "/") with
    // the given argv, argv[0] included. Returns 0 or the error number.
    int spawn(pid_t& pid, const std::string& program, const std::vector<std::string>& argv) {
        std::vector<char*> pointers;
        pointers.reserve(argv.size() + 1);
        for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
        pointers.push_back(nullptr);
        return posix_spawnp(&pid, program.c_str(), &actions_, &attr_, pointers.data(), environ);
    }

private:
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
};

class RealChild final : public Child {
public:
    RealChild(pid_t pid, int errorFd) : pid_(pid), errorFd_(errorFd) {
        pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
        if (errorFd_ >= 0) ::fcntl(errorFd_, F_SETFL, ::fcntl(errorFd_, F_GETFL) | O_NONBLOCK);
    }
    ~RealChild() override {
        if (!ended_) wait(-1);
        if (pidFd_ >= 0) ::close(pidFd_);
    }
    RealChild(const RealChild&) = delete;
    RealChild& operator=(const RealChild&) = delete;

    bool wait(int ms) override {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
        while (!ended_) {
            if (reaped()) break;
            int timeout = -1;
            if (ms >= 0) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
                if (left <= 0) return false;
                timeout = static_cast<int>(left);
            }
            // Without a process descriptor, look again every 2 ms.
            if (pidFd_ < 0 && (timeout < 0 || timeout > 2)) timeout = 2;
            pollfd fds[2];
            nfds_t n = 0;
            if (errorFd_ >= 0) fds[n++] = {errorFd_, POLLIN, 0};
            if (pidFd_ >= 0) fds[n++] = {pidFd_, POLLIN, 0};
            const int ready = ::poll(fds, n, timeout);
            if (ready > 0 && errorFd_ >= 0 && fds[0].revents != 0) readError();
        }
        finishError();
        return true;
    }
    RunResult result() const override { return result_; }
    std::string errorLine() const override { return firstLine_; }

private:
    bool reaped() {
        int status = 0;
        pid_t got;
        do got = ::waitpid(pid_, &status, WNOHANG);
        while (got < 0 && errno == EINTR);
        if (got == 0) return false;
        ended_ = true;
        if (got == pid_ && WIFEXITED(status)) result_ = RunResult::exited(WEXITSTATUS(status));
        else if (got == pid_ && WIFSIGNALED(status)) result_ = RunResult::signaled(WTERMSIG(status));
        else result_ = RunResult::notStarted();
        return true;
    }

    // Reads what is waiting; false once the pipe is at its end.
    bool readError() {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(errorFd_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno == EAGAIN;
            if (n == 0) {
                ::close(errorFd_);
                errorFd_ = -1;
                return false;
            }
            writeAll(2, buffer, static_cast<std::size_t>(n));
            keep(buffer, static_cast<std::size_t>(n));
        }
    }

    void keep(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size && !lineDone_; ++i) {
            if (data[i] == '\n' || firstLine_.size() >= kErrorLineMax) lineDone_ = true;
            else firstLine_ += data[i];
        }
    }

    // The program has ended; what it wrote is read. A program it started
    // that still holds the pipe (an editor that went to the background)
    // keeps a reader: a thread passes the rest on, so that program never
    // meets a closed pipe.
    void finishError() {
        if (errorFd_ < 0) return;
        if (readError()) {
            const int fd = errorFd_;
            errorFd_ = -1;
            std::thread([fd] {
                ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
                char buffer[4096];
                for (;;) {
                    const ssize_t n = ::read(fd, buffer, sizeof buffer);
                    if (n < 0 && errno == EINTR) continue;
                    if (n <= 0) break;
                    writeAll(2, buffer, static_cast<std::size_t>(n));
                }
                ::close(fd);
            }).detach();
        }
    }

    pid_t pid_;
    int errorFd_;
    int pidFd_ = -1;
    bool ended_ = false;
    bool lineDone_ = false;
    RunResult result_;
    std::string firstLine_;
};

}  // namespace

std::unique_ptr<Child> RealRunner::launch(const Launch& launch) {
    std::vector<std::string> argv;
    if (launch.shell) {
        argv = {"sh", "-c", launch.program};
    } else {
        argv.reserve(launch.args.size() + 1);
        argv.push_back(launch.program);
        argv.insert(argv.end(), launch.args.begin(), launch.args.end());
    }
    for (const std::string& arg : argv)
        if (holdsNul(arg)) return std::make_unique<EndedChild>(RunResult::notStarted(), "an argument holds a NUL byte");
    if (launch.program.empty()) return std::make_unique<EndedChild>(RunResult::notStarted(), "no program named");
    int pipeFds[2] = {-1, -1};
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) pipeFds[0] = pipeFds[1] = -1;
    SpawnSetup setup(launch.withoutInput, pipeFds[1]);
    pid_t pid = -1;
    const std::string program = launch.shell ? "/bin/sh" : launch.program;
    const int error = setup.spawn(pid, program, argv);
    if (pipeFds[1] >= 0) ::close(pipeFds[1]);
    if (error != 0) {
        if (pipeFds[0] >= 0) ::close(pipeFds[0]);
        return std::make_unique<EndedChild>(RunResult::notStarted(), program + ": " + std::strerror(error));
    }
    return std::make_unique<RealChild>(pid, pipeFds[0]);
}

}  // namespace kestrel
