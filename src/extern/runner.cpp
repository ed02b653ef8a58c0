#include "extern/runner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "extern/arguments.h"

extern char** environ;

namespace kestrel {

RunResult Runner::startProgramArgString(const std::string& program, const std::string& argString) {
    return startProgram(program, splitArguments(argString));
}

namespace {

bool holdsNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

// Attributes and file actions that give the child a clean start: the
// descriptors Kestrel holds (the display connection, directory handles) are
// none of its business, and a signal Kestrel blocks or ignores must not stay
// blocked or ignored in cp or an editor.
class SpawnSetup {
public:
    explicit SpawnSetup(bool withoutInput = false) {
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
        posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
        if (withoutInput) posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // Starts path with the given argv (argv[0] included). Returns the child's
    // id, or -1 when it could not be started.
    pid_t spawn(const std::string& path, const std::vector<std::string>& argv) {
        std::vector<char*> pointers;
        pointers.reserve(argv.size() + 1);
        for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
        pointers.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, path.c_str(), &actions_, &attr_, pointers.data(), environ) != 0) return -1;
        return pid;
    }

private:
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
};

// Waits for the child; false only if the wait itself failed.
bool waitFor(pid_t pid, int& status) {
    for (;;) {
        if (waitpid(pid, &status, 0) == pid) return true;
        if (errno != EINTR) return false;
    }
}

}  // namespace

int RealRunner::runShell(const std::string& line) {
    if (holdsNul(line)) return -1;
    SpawnSetup setup;
    const pid_t pid = setup.spawn("/bin/sh", {"sh", "-c", line});
    if (pid < 0) return -1;
    int status = 0;
    if (!waitFor(pid, status)) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

RunResult RealRunner::startProgram(const std::string& program, const std::vector<std::string>& args) {
    return start(program, args, false);
}

RunResult RealRunner::startProgramWithoutInput(const std::string& program, const std::vector<std::string>& args) {
    return start(program, args, true);
}

RunResult RealRunner::start(const std::string& program, const std::vector<std::string>& args, bool withoutInput) {
    if (program.empty() || holdsNul(program)) return RunResult::notStarted();
    std::vector<std::string> argv;
    argv.reserve(args.size() + 1);
    argv.push_back(program);
    for (const std::string& arg : args) {
        if (holdsNul(arg)) return RunResult::notStarted();
        argv.push_back(arg);
    }
    SpawnSetup setup(withoutInput);
    const pid_t pid = setup.spawn(program, argv);
    if (pid < 0) return RunResult::notStarted();
    int status = 0;
    if (!waitFor(pid, status)) return RunResult::notStarted();
    if (WIFEXITED(status)) return RunResult::exited(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return RunResult::signaled(WTERMSIG(status));
    return RunResult::notStarted();
}

}  // namespace kestrel
