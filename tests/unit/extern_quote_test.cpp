#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "extern/quote.h"
#include "extern/runner.h"
#include "hostile_names.h"
#include "temp_dir.h"

using namespace kestrel;
using namespace kestrel::test;
namespace fs = std::filesystem;

namespace {

// What a program receives for a quoted word: the word itself, except that a
// leading "-" gains "./" so it cannot be taken for an option.
std::string received(const std::string& word) {
    return !word.empty() && word.front() == '-' ? "./" + word : word;
}

std::vector<std::string> splitAtNul(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        parts.push_back(text.substr(start, nul - start));
    EXPECT_EQ(start, text.size()) << "output does not end with a NUL";
    return parts;
}

// Runs printf '%s\0' over the pieces in the scratch directory, returning each argument printf saw.
std::vector<std::string> argumentsSeenByPrintf(const TempDir& dir, std::vector<Arg> pieces) {
    std::vector<Arg> line{Arg::literal("cd"), Arg::word(dir.path), Arg::literal("&& printf '%s\\0'")};
    for (Arg& piece : pieces) line.push_back(std::move(piece));
    line.push_back(Arg::literal(">"));
    line.push_back(Arg::word(dir.path + "/out"));
    EXPECT_EQ(RealRunner().runShell(commandLine(line)), 0) << commandLine(line);
    return splitAtNul(dir.read("out"));
}

}  // namespace

TEST(ShellQuote, OrdinaryPathsGiveTheLinesAPersonWouldType) {
    for (const char* path : {"/", "/home/ann/a.txt", "sdb1", "new_name.c", "/srv/a-b+c,d:e@f%g=h", "REPORT.PDF", "09azAZ"})
        EXPECT_EQ(shellQuote(path), path);

    const std::pair<std::vector<Arg>, const char*> lines[] = {
        {{Arg::literal("cp -r"), Arg::everyEntryOf("/home/ann/src"), Arg::word("/home/ann/dst")},
         "cp -r /home/ann/src/* /home/ann/dst"},
        {{Arg::literal("rm"), Arg::everyEntryOf("/")}, "rm //*"},
        {{Arg::literal("cp"), Arg::wordList({"/a/x.txt", "/b/y.txt"}), Arg::word("/c")}, "cp /a/x.txt /b/y.txt /c"},
        {{Arg::literal("rm"), Arg::wordList({})}, "rm"},
        {{Arg::literal("file"), Arg::word("/a/prog"), Arg::literal(">"), Arg::word("/opt/ELF.txt")},
         "file /a/prog > /opt/ELF.txt"},
        {{Arg::literal("mv"), Arg::word("/home/ann/old.txt"), Arg::word("new.txt")}, "mv /home/ann/old.txt new.txt"},
    };
    for (const auto& [args, line] : lines) EXPECT_EQ(commandLine(args), line);
}

TEST(ShellQuote, EverythingElseIsSingleQuotedNeverDoubleQuoted) {
    const std::pair<const char*, const char*> words[] = {
        {"my file.txt", "'my file.txt'"}, {"$(touch CANARY)", "'$(touch CANARY)'"}, {"it's", "'it'\\''s'"},
        {"'", "''\\'''"}, {"", "''"}, {"~", "'~'"}, {"-rf", "./-rf"}, {"-n x", "'./-n x'"}, {"/abs/-dash", "/abs/-dash"}};
    for (const auto& [word, quoted] : words) EXPECT_EQ(shellQuote(word), quoted);
    EXPECT_EQ(shellQuoteGlob("/tmp/a b"), "'/tmp/a b'/*");
    // An empty directory must not turn into every entry of the root.
    EXPECT_EQ(shellQuoteGlob(""), "''");
    EXPECT_EQ(commandLine({Arg::literal("rm -r"), Arg::everyEntryOf("")}), "rm -r ''");

    for (const std::string& name : hostileNames()) {
        const std::string quoted = shellQuote(name);
        // Double quotes leave $ and backticks live; they must never be the quoting.
        const bool bare = quoted == received(name);
        const bool singleQuoted = quoted.front() == '\'' && quoted.back() == '\'';
        EXPECT_TRUE(bare || singleQuoted) << quoted;
        EXPECT_EQ(quoted.find("\"$("), std::string::npos) << quoted;
    }
}

TEST(ShellQuote, HostileNamesReachTheProgramAsOneArgumentEach) {
    const TempDir tmp;
    const auto& names = hostileNames();
    for (const std::string& name : names)
        EXPECT_EQ(argumentsSeenByPrintf(tmp, {Arg::word(name)}), std::vector<std::string>{received(name)}) << shellQuote(name);
    // All at once, as a buffer list: the count must hold too.
    const auto seen = argumentsSeenByPrintf(tmp, {Arg::wordList(names), Arg::word("")});
    ASSERT_EQ(seen.size(), names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(seen[i], received(names[i]));
    EXPECT_EQ(seen.back(), "");
    // The lines ran in dir; the process's own working directory is wherever
    // an earlier test left it, and may hold some other run's canary.
    EXPECT_FALSE(fs::exists(tmp.path + "/" + kCanary));
}

TEST(ShellQuote, TheStarStaysExpandableInsideAHostileDirectory) {
    const TempDir tmp;
    const fs::path dir = tmp.path;
    // Neighbours that a literal-looking pattern would wrongly match.
    for (const char* neighbour : {"x", "ab", "a"}) fs::create_directory(dir / neighbour);
    for (const std::string& name : {std::string("*"), std::string("[ab] $(touch CANARY)"), std::string("-?")}) {
        const fs::path inner = dir / name;
        ASSERT_TRUE(fs::create_directory(inner));
        for (const char* file : {"one", "two b", ".hidden"}) std::ofstream(inner / file) << "x";
        const auto seen = argumentsSeenByPrintf(tmp, {Arg::everyEntryOf(inner.string())});
        EXPECT_EQ(seen, (std::vector<std::string>{(inner / "one").string(), (inner / "two b").string()}));
    }
    EXPECT_FALSE(fs::exists(dir / kCanary));
}
