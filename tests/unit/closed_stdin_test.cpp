// Kestrel started with standard input closed, as a launcher may leave it: descriptor 0 is then the
// first one it opens. A file read on it is closed again, and a program's error pipe on it is still
// drained while the program runs (one that writes much to standard error would otherwise never end).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "extern/runner.h"
#include "temp_dir.h"
#include "viewers/byte_source.h"

using namespace kestrel;

TEST(StandardInputClosed, DescriptorZeroIsReadClosedAgainAndDrained) {
    const test::TempDir d;
    const std::string file = d.file("shown", "abc");
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);  // what the program writes is passed on to Kestrel's own standard error
        close(null);
        close(0);
        alarm(20);  // a read started over and over, or a pipe never drained, waits here for ever
        errno = EINTR;  // left by an interrupted call before: a read that worked is not started again
        if (MemoryByteSource::readWholeFile(file).size() != 3) _exit(1);
        if (FileByteSource(file).size() != 3) _exit(2);
        if (fcntl(0, F_GETFD) >= 0) _exit(4);  // closed again with the source
        const auto noisy = RealRunner().launch(Launch::shellLine("head -c 300000 /dev/zero >&2"));
        _exit(noisy->wait(-1) && noisy->result() == RunResult::exited(0) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
