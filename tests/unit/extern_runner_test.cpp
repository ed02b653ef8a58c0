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
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

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

TEST(RealRunner, ReportsExitStatusSignalsAndRefusals) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    for (const auto& [line, status] : {std::pair{"true", 0}, {"exit 3", 3}, {"exit 255", 255}, {"kill -9 $$", 128 + 9},
                                       {"no-such-program-kestrel 2>/dev/null", 127}})
        EXPECT_EQ(runner.runShell(line), status) << line;
    // Redirections are the shell's.
    const fs::path out = dir / "report.txt";
    EXPECT_EQ(runner.runShell(commandLine({Arg::literal("echo - OS >"), Arg::word(out.string())})), 0);
    EXPECT_EQ(runner.runShell(commandLine({Arg::literal("echo more >>"), Arg::word(out.string())})), 0);
    EXPECT_EQ(tmp.read("report.txt"), "- OS\nmore\n");
    // A NUL would silently cut the line short: it is refused, nothing runs.
    EXPECT_EQ(runner.runShell("touch " + (dir / "touched").string() + std::string(1, '\0') + " other"), -1);
    EXPECT_FALSE(fs::exists(dir / "touched"));

    const fs::path plain = writeScript(dir, "plain", "exit 0");  // not executable: even root may not run it
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
    const std::pair<std::string, RunResult> starts[] = {
        {writeScript(dir, "seven", "exit 7").string(), RunResult::exited(7)},
        {writeScript(dir, "killed", "kill -9 $$").string(), RunResult::signaled(SIGKILL)},
        {(dir / "missing").string(), RunResult::notStarted()}, {"", RunResult::notStarted()},
        {dir.string(), RunResult::notStarted()}, {plain.string(), RunResult::notStarted()},
        {"sh", RunResult::notStarted()}};  // not looked up in PATH
    for (const auto& [program, result] : starts) EXPECT_EQ(runner.startProgram(program, {}), result) << program;
    EXPECT_TRUE(runner.startProgram("/bin/sh", {"-c", "exit 0"}).succeeded());
    EXPECT_FALSE(runner.startProgram("/bin/sh", {"-c", "exit 3"}).succeeded());
    // An argument that cannot be passed whole is not passed at all.
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", std::string("exit 0\0x", 8)}), RunResult::notStarted());
}

TEST(RealRunner, ArgumentsArriveAsSplitOrByteForByte) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    const fs::path out = dir / "args";
    const fs::path script = writeScript(dir, "show args", "printf '%s\\0' \"$0\" \"$@\" > " + shellQuote(out.string()));

    EXPECT_EQ(runner.startProgramArgString(script.string(), "  one   two\t\"three  four\" \"\"  "),
              RunResult::exited(0));
    EXPECT_EQ(argumentsWritten(out), (Strings{script.string(), "one", "two", "three  four", ""}));

    EXPECT_EQ(runner.startProgramArgString(script.string(), ""), RunResult::exited(0));
    EXPECT_EQ(argumentsWritten(out), Strings{script.string()});
    // The vector form with hostile names is pinned by the open-file scenarios.
}

TEST(RealRunner, ChildStartsCleanWhateverKestrelHolds) {
    RealRunner runner;
    // A descriptor opened without close-on-exec is still not handed on; the standard ones are.
    const int fd = open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 3);
    const std::string probe = "test -e /proc/self/fd/0 && test -e /proc/self/fd/2 && ! test -e /proc/self/fd/" + std::to_string(fd);
    EXPECT_EQ(runner.runShell(probe), 0);
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", probe}), RunResult::exited(0));
    close(fd);

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
