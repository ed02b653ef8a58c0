#pragma once
// Runs a check as uid/gid 65534 in a forked child, for denials root never meets (CI runs as
// root): the child's exit status is f()'s result, or kCannotDrop when it cannot change user.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace kestrel::test {

constexpr int kCannotDrop = 99;

inline int asNobody(const std::function<int()>& f) {
    const pid_t child = fork();
    if (child == 0) _exit(setgid(65534) != 0 || setuid(65534) != 0 ? kCannotDrop : f());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kestrel::test
