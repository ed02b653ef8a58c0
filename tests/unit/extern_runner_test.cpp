#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "extern/arguments.h"
#include "extern/quote.h"
#include "extern/recording_runner.h"
#include "extern/runner.h"
#include "hostile_names.h"
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace kestrel {
// Readable failure messages.
void PrintTo(const RunResult& result, std::ostream* os) {
    static const char* const names[] = {"exited", "not started", "signaled"};
    *os << names[static_cast<int>(result.outcome)] << " " << result.status;
}
}  // namespace kestrel

namespace {

fs::path writeScript(const fs::path& dir, const std::string& name, const std::string& body) {
    const fs::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

// The arguments a script saw, written NUL-separated by printf.
Strings argumentsWritten(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Strings args;
    std::size_t start = 0;
    for (std::size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        args.push_back(text.substr(start, nul - start));
    return args;
}

}  // namespace

TEST(SplitArguments, BlanksSeparateAndDoubleQuotesGroup) {
    // An unterminated quote groups the rest of the string.
    const std::pair<const char*, Strings> cases[] = {
        {"", {}}, {"   \t ", {}}, {"a", {"a"}}, {"  /tmp/temp.zip   /a/b.txt\t/c  ", {"/tmp/temp.zip", "/a/b.txt", "/c"}},
        {"\"my file.txt\" next", {"my file.txt", "next"}}, {"a\"b  c\"d e", {"ab  cd", "e"}}, {"x \"\" y", {"x", "", "y"}},
        {"'single quotes' $HOME \\", {"'single", "quotes'", "$HOME", "\\"}}, {"a \"b  c", {"a", "b  c"}}, {"a \"", {"a", ""}}};
    for (const auto& [text, words] : cases) EXPECT_EQ(splitArguments(text), words) << text;
}

TEST(RealRunner, RunShellReportsStatusSignalsAndRefusals) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    const std::pair<const char*, int> cases[] = {
        {"true", 0}, {"exit 3", 3}, {"exit 255", 255}, {"kill -9 $$", 128 + 9}, {"no-such-program-kestrel 2>/dev/null", 127}};
    for (const auto& [line, status] : cases) EXPECT_EQ(runner.runShell(line), status) << line;
    // Redirections are the shell's.
    const fs::path out = dir / "report.txt";
    EXPECT_EQ(runner.runShell(commandLine({Arg::literal("echo - OS >"), Arg::word(out.string())})), 0);
    EXPECT_EQ(runner.runShell(commandLine({Arg::literal("echo more >>"), Arg::word(out.string())})), 0);
    std::ifstream in(out);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "- OS\nmore\n");
    // A NUL would silently cut the line short: it is refused, nothing runs.
    const fs::path touched = dir / "touched";
    const std::string line = "touch " + touched.string() + std::string(1, '\0') + " other";
    EXPECT_EQ(runner.runShell(line), -1);
    EXPECT_FALSE(fs::exists(touched));
}

TEST(RealRunner, StartProgramTellsExitNotStartedAndSignal) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    EXPECT_TRUE(runner.startProgram("/bin/sh", {"-c", "exit 0"}).succeeded());
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", "exit 3"}), RunResult::exited(3));
    EXPECT_FALSE(runner.startProgram("/bin/sh", {"-c", "exit 3"}).succeeded());
    EXPECT_EQ(runner.startProgram(writeScript(dir, "seven", "exit 7").string(), {}), RunResult::exited(7));
    EXPECT_EQ(runner.startProgram(writeScript(dir, "killed", "kill -9 $$").string(), {}),
              RunResult::signaled(SIGKILL));

    for (const std::string& missing : {(dir / "missing").string(), std::string(), dir.string()})
        EXPECT_EQ(runner.startProgram(missing, {}), RunResult::notStarted()) << missing;
    // Not executable: even root may not run a file without any execute bit.
    const fs::path plain = writeScript(dir, "plain", "exit 0");
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(runner.startProgram(plain.string(), {}), RunResult::notStarted());
    // Not looked up in PATH: a bare name is a path in the working directory.
    EXPECT_EQ(runner.startProgram("sh", {"-c", "exit 0"}), RunResult::notStarted());
    // An argument that cannot be passed whole is not passed at all.
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", std::string("exit 0\0x", 8)}), RunResult::notStarted());
}

TEST(RealRunner, ArgumentsArriveAsSplitOrByteForByte) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    const fs::path out = dir / "args";
    const fs::path script = writeScript(dir, "show args", "printf '%s\\0' \"$0\" \"$@\" > \"$KESTREL_OUT\"");
    ASSERT_EQ(setenv("KESTREL_OUT", out.c_str(), 1), 0);

    EXPECT_EQ(runner.startProgramArgString(script.string(), "  one   two\t\"three  four\" \"\"  "),
              RunResult::exited(0));
    EXPECT_EQ(argumentsWritten(out), (Strings{script.string(), "one", "two", "three  four", ""}));

    EXPECT_EQ(runner.startProgramArgString(script.string(), ""), RunResult::exited(0));
    EXPECT_EQ(argumentsWritten(out), Strings{script.string()});

    // The vector form: one argument per file name, whatever it holds.
    Strings args{(dir / "temp.zip").string()};
    for (const std::string& name : hostileNames()) args.push_back((dir / name).string());
    EXPECT_EQ(runner.startProgram(script.string(), args), RunResult::exited(0));
    Strings expected{script.string()};
    expected.insert(expected.end(), args.begin(), args.end());
    EXPECT_EQ(argumentsWritten(out), expected);
    EXPECT_FALSE(fs::exists(dir / kCanary));
    unsetenv("KESTREL_OUT");
}

TEST(RealRunner, ChildStartsCleanWhateverKestrelHolds) {
    RealRunner runner;
    // A descriptor opened without close-on-exec is still not handed on.
    const int fd = open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 3);
    const std::string probe = "test -e /proc/self/fd/" + std::to_string(fd);
    EXPECT_EQ(runner.runShell(probe), 1);
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", probe}), RunResult::exited(1));
    close(fd);
    // The standard descriptors are inherited.
    EXPECT_EQ(runner.runShell("test -e /proc/self/fd/0 && test -e /proc/self/fd/2"), 0);

    // A signal Kestrel ignores or blocks acts normally in the child.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(sigaction(SIGINT, &ignore, &previous), 0);
    sigset_t blockTerm, previousMask;
    sigemptyset(&blockTerm);
    sigaddset(&blockTerm, SIGTERM);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blockTerm, &previousMask), 0);

    EXPECT_EQ(runner.runShell("kill -INT $$; exit 0"), 128 + SIGINT);
    EXPECT_EQ(runner.runShell("kill -TERM $$; exit 0"), 128 + SIGTERM);
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", "kill -INT $$; exit 0"}), RunResult::signaled(SIGINT));

    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    sigaction(SIGINT, &previous, nullptr);
}
