// The tests run real file commands as root: confined (tools/confined), every session kept in its temporary root.
#include <fcntl.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <cerrno>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

// Tried only when confined: a write outside the temporary root is refused, by Kestrel's runner as by a plain call.
TEST(Confinement, WritesOutsideTheTemporaryRootAreRefused) {
    const char* confined = std::getenv("KESTREL_CONFINED");
    if (!confined || std::string(confined) != "1") GTEST_SKIP() << "not running confined: the attempt is not made";
    struct statvfs root {};
    ASSERT_EQ(statvfs("/", &root), 0);
    ASSERT_NE(root.f_flag & ST_RDONLY, 0u) << "confined, yet / is writable: nothing is tried";
    const std::string probe = "/usr/bin/kestrel-confinement-probe";
    EXPECT_EQ(RealRunner().runShell(commandLine({Arg::literal("mkdir"), Arg::word(probe)})), 1);
    errno = 0;
    EXPECT_EQ(std::pair(open(probe.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0600), errno), std::pair(-1, EROFS));
    EXPECT_FALSE(std::filesystem::exists(probe));
    TempDir d;
    EXPECT_EQ(RealRunner().runShell(commandLine({Arg::literal("mkdir"), Arg::word(d.path + "/inside")})), 0);
}

// A session that would change files elsewhere never starts; a real command outside the root never runs.
TEST(Confinement, TheHarnessKeepsSessionsInTheirRoot) {
    Session s;
    s.settings(0, 0, "/", 1);
    s.runner.onProgram = [](const ProgramCall&) { return RunResult::exited(0); };
    int status = 0;
    EXPECT_NONFATAL_FAILURE(status = s.quit(), "must start in its temporary root, not in /");
    EXPECT_EQ(std::pair(status, s.rig.clock.nowMs()), std::pair(-1, std::int64_t{0}));

    TempRootRunner guard;
    std::filesystem::current_path(s.dir.path);
    RunResult outside;
    EXPECT_NONFATAL_FAILURE(outside = guard.startProgram("/bin/mkdir", {s.dir.path + "/a", "/kestrel-guard-probe"}), "refused");
    EXPECT_EQ(outside, RunResult::notStarted());
    std::filesystem::current_path("/");
    EXPECT_NONFATAL_FAILURE(status = guard.runShell("mkdir kestrel-guard-probe"), "working directory /)");
    EXPECT_EQ(status, 127);
    EXPECT_FALSE(std::filesystem::exists(s.dir.path + "/a") || std::filesystem::exists("/kestrel-guard-probe"));
}
