// Kestrel and the programs it starts: shell quoting, argument splitting, the real runner, a file's program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>


#include "extern/programs.h"
#include "extern/quote.h"
#include "extern/runner.h"
#include "hostile_names.h"
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

std::vector<std::string> splitAtNul(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        parts.push_back(text.substr(start, nul - start));
    EXPECT_EQ(start, text.size()) << "output does not end with a NUL";
    return parts;
}



fs::path writeScript(const fs::path& dir, const std::string& name, const std::string& body) {
    const fs::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

}  // namespace

// Words a person would type stay bare, the rest single-quoted ($ and backticks dead); a leading "-" gains "./".
TEST(ShellQuote, BareWhenSafeElseSingleQuotedNeverDoubleQuoted) {
    const std::pair<const char*, const char*> words[] = {
        {"/srv/a-b+c,d:e@f%g=h", "/srv/a-b+c,d:e@f%g=h"}, {"new_name.c09azAZ", "new_name.c09azAZ"}, {"my file.txt", "'my file.txt'"},
        {"$(touch CANARY)", "'$(touch CANARY)'"}, {"it's", "'it'\\''s'"}, {"'", "''\\'''"}, {"", "''"}, {"~", "'~'"},
        {"-rf", "./-rf"}, {"-n x", "'./-n x'"}, {"/abs/-dash", "/abs/-dash"}};
    for (const auto& [word, quoted] : words) EXPECT_EQ(shellQuote(word), quoted);
    // An empty directory must not turn into every entry of the root (the mv, file and cp -r lines: scenarios).
    const std::pair<std::vector<Arg>, const char*> lines[] = {
        {{Arg::literal("rm"), Arg::everyEntryOf("/")}, "rm //*"}, {{Arg::literal("rm"), Arg::wordList({})}, "rm"},
        {{Arg::literal("rm -r"), Arg::everyEntryOf("")}, "rm -r ''"}, {{Arg::literal("ls"), Arg::everyEntryOf("/tmp/a b")}, "ls '/tmp/a b'/*"},
        {{Arg::literal("cp"), Arg::wordList({"/a/x.txt", "/b/y.txt"}), Arg::word("/c")}, "cp /a/x.txt /b/y.txt /c"}};
    for (const auto& [args, line] : lines) EXPECT_EQ(commandLine(args), line);
}

// Hostile names reaching cp and rm whole: the paste and kill scenarios; here, hostile directories.
TEST(ShellQuote, TheStarStaysExpandableInsideAHostileDirectory) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    // Neighbours that a literal-looking pattern would wrongly match.
    for (const char* neighbour : {"x", "ab", "a"}) fs::create_directory(dir / neighbour);
    for (const std::string& name : {std::string("*"), std::string("[ab] $(touch CANARY)"), std::string("-?")}) {
        const fs::path inner = dir / name;
        ASSERT_TRUE(fs::create_directory(inner));
        for (const char* file : {"one", "two b", ".hidden"}) std::ofstream(inner / file) << "x";
        const std::string line = commandLine({Arg::literal("cd"), Arg::word(tmp.path), Arg::literal("&& printf '%s\\0'"),
                                              Arg::everyEntryOf(inner.string()), Arg::literal(">"), Arg::word(tmp.path + "/out")});
        EXPECT_EQ(RealRunner().runShell(line), 0) << line;
        EXPECT_EQ(splitAtNul(tmp.read("out")), (Strings{(inner / "one").string(), (inner / "two b").string()}));
    }
    EXPECT_FALSE(fs::exists(dir / kCanary));
}

TEST(RealRunner, ReportsExitStatusSignalsAndRefusalsAndHandsOnOnlyStandardDescriptors) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    for (const auto& [line, status] : {std::pair{"true", 0}, {"exit 255", 255}, {"kill -9 $$", 128 + 9}, {"no-such-program-kestrel 2>/dev/null", 127}})
        EXPECT_EQ(runner.runShell(line), status) << line;
    // A NUL would silently cut the line short: it is refused, nothing runs.
    EXPECT_EQ(runner.runShell("touch " + (dir / "touched").string() + std::string(1, '\0') + " other"), -1);
    EXPECT_FALSE(fs::exists(dir / "touched"));
    const std::pair<std::string, RunResult> starts[] = {
        {writeScript(dir, "seven", "exit 7").string(), RunResult::exited(7)},
        {writeScript(dir, "killed", "kill -9 $$").string(), RunResult::signaled(SIGKILL)}, {(dir / "missing").string(), RunResult::notStarted()},
        {"", RunResult::notStarted()}, {"no-such-program-kestrel", RunResult::notStarted()}, {"sh", RunResult::exited(0)}};  // bare: on PATH
    for (const auto& [program, result] : starts) EXPECT_EQ(runner.startProgram(program, {}), result) << program;
    // An argument that cannot be passed whole is not passed at all.
    EXPECT_EQ(runner.startProgram("/bin/sh", {"-c", std::string("exit 0\0x", 8)}), RunResult::notStarted());
    // A descriptor opened without close-on-exec is still not handed on; the standard ones are.
    const int fd = open("/dev/null", O_RDONLY);
    const std::string probe = "test -e /proc/self/fd/0 && test -e /proc/self/fd/2 && ! test -e /proc/self/fd/" + std::to_string(fd);
    EXPECT_EQ(std::pair(runner.runShell(probe), runner.startProgram("/bin/sh", {"-c", probe})), std::pair(0, RunResult::exited(0)));
    close(fd);
}

// The first line on standard error is kept, and a process left running with the pipe open is not waited for.
TEST(RealRunner, KeepsTheFirstErrorLineAndDoesNotWaitForWhatIsLeftRunning) {
    const TempDir tmp;
    RealRunner runner;
    const auto child = runner.launch(Launch::shellLine("echo first >&2; echo second >&2; sleep 30 & echo $! > " + tmp.path + "/pid; exit 3"));
    EXPECT_TRUE(child->wait(-1) && child->wait(0));  // a second wait keeps what the first saw
    EXPECT_EQ(std::pair(child->result(), child->errorLine()), std::pair(RunResult::exited(3), std::string("first")));
    EXPECT_FALSE(runner.launch(Launch::shellLine("sleep 0.3"))->wait(20));  // a wait with a limit ends without the child
    EXPECT_EQ(kill(std::stoi(tmp.read("pid")), SIGKILL), 0);  // it was still running
    EXPECT_EQ(runner.launch(Launch::direct("/no/such/program", {}))->errorLine(), "/no/such/program: No such file or directory");
}

TEST(RealRunner, ArgumentsArriveAsSplitOrByteForByte) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    RealRunner runner;
    const fs::path script = writeScript(dir, "show args", "printf '%s\\0' \"$0\" \"$@\" > " + shellQuote((dir / "args").string()));
    // Blanks separate, double quotes group (an unterminated one the rest), nothing else is special.
    for (auto [line, args] : {std::pair{"  one   two\t\"three  four\" \"\"  ", Strings{"one", "two", "three  four", ""}}, {"", Strings{}},
                              {"   \t ", Strings{}}, {"a\"b  c\"d e", {"ab  cd", "e"}}, {"'single quotes' $HOME \\", {"'single", "quotes'", "$HOME", "\\"}},
                              {"a \"", {"a", ""}}}) {
        EXPECT_EQ(runner.startProgramArgString(script.string(), line), RunResult::exited(0));
        args.insert(args.begin(), script.string());
        EXPECT_EQ(splitAtNul(tmp.read("args")), args);
    }
}

// The extension, dot included, ends the whole path in any case (the common ones: open-file scenarios).
TEST(ProgramFor, MatchesBySuffixOfTheWholePathIgnoringCase) {
    const std::pair<const char*, std::string_view> cases[] = {
        {"/home/ann/photo.Bmp", kImageEditor}, {"/a/backup.TGZ", kArchiver}, {"/a/letter.abw", kWordProcessor}, {".h", kTextEditor},
        {"/home/ann/pdf", "none"}, {"/a/file.pdf.bak", "none"}, {"/a/pack.gzip", "none"}, {"/a/project.txt/README", "none"}, {"", "none"}};
    for (const auto& [path, program] : cases) EXPECT_EQ(programFor(path) ? programFor(path)->program : "none", program) << path;
}
