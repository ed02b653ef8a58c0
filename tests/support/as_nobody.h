#pragma once
// Runs a check as an unprivileged user, for the denials root never meets
// (CI runs as root): a forked child drops to uid/gid 65534 and reports its
// result as its exit status.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace kestrel::test {

constexpr int kCannotDrop = 99;

// The child's exit status: f()'s result, or kCannotDrop when the process
// cannot change user (it is not root).
inline int asNobody(const std::function<int()>& f) {
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(kCannotDrop);
        _exit(f());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kestrel::test
