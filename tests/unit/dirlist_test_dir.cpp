#include "dirlist_test_dir.h"

#include <grp.h>
#include <sys/wait.h>

namespace kestrel::test {

void TempDirTest::makeFile(const std::string& name, off_t size, mode_t mode) const {
    const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    ASSERT_EQ(chmod(path(name).c_str(), mode), 0);
}

void TempDirTest::setLocalMtime(const std::string& name, int year, int month, int day, int hour,
                                int minute) const {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    const timespec times[2] = {{std::time(nullptr), 0}, {std::mktime(&t), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path(name).c_str(), times, 0), 0) << name;
}

int indexOf(const DirList& list, const std::string& name) {
    for (int i = 1; i <= list.count; ++i)
        if (list.name(i) == name) return i;
    return -1;
}

std::optional<std::string> runAsNobody(const std::function<std::string()>& work) {
    int fds[2];
    if (geteuid() != 0 || pipe(fds) != 0) return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        close(fds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        const std::string out = work();
        _exit(write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size()) ? 0 : 3);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return std::nullopt;  // could not drop privileges
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the unprivileged child failed";
    return out;
}

}  // namespace kestrel::test
