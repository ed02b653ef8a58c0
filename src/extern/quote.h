#pragma once
// Every path, name and list that Kestrel puts into a shell line goes through
// shellQuote. The shell must never interpret a byte of a file name: a name
// reaches its program as exactly one argument, whatever it contains.
//
//   - A word made only of letters, digits and /._-+,:@%= stays bare, so for
//     ordinary paths the line shown on a confirmation panel is byte for byte
//     the line that runs.
//   - Any other word is put in single quotes, a ' inside written as '\''.
//     Inside single quotes the shell expands nothing ($, backticks, \, *, ?,
//     [, ;, &, |, line feeds and bytes that are not UTF-8 are all plain).
//     Double quotes are never used: they leave $ and backticks live.
//   - The empty word becomes '' so that it still counts as one argument.
//   - A word beginning with "-" would be read as an option by cp, rm or mv.
//     It is written as "./" + word (then quoted when needed). Absolute paths
//     never begin with "-", so this only touches relative names, such as the
//     new name given to mv, which are resolved in the working directory; "./"
//     names the same entry there. We prefix rather than put "--" before the
//     operands because the prefix keeps each word safe on its own, whatever
//     the line around it looks like.
//
// Lines are built as data with commandLine: program text written by Kestrel's
// own code is passed through as it is, every word that comes from the file
// system or the user is quoted.
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

// One word, quoted as described above.
std::string shellQuote(std::string_view word);

// The shell pattern "every entry of dir": shellQuote(dir) + "/*". The star
// stays outside the quotes so the shell still expands it, while the directory
// part is matched literally even if it holds *, ? or [. For "/" this gives
// "//*", as plain concatenation would. An empty directory is never a real
// one: plain concatenation would turn it into "/*", every entry of the root,
// so it gives '' instead, an empty argument that names no file at all.
std::string shellQuoteGlob(std::string_view dir);

// One piece of a command line.
struct Arg {
    enum class Kind { Literal, Word, Glob, Words };
    Kind kind;
    std::string text;                // Literal, Word, Glob
    std::vector<std::string> words;  // Words

    // Program text written in Kestrel's source ("cp -r", ">", "echo - OS >>"),
    // passed through unchanged. Never use it for a path or a name.
    static Arg literal(std::string_view text) { return {Kind::Literal, std::string(text), {}}; }
    // A path or name: quoted with shellQuote.
    static Arg word(std::string_view word) { return {Kind::Word, std::string(word), {}}; }
    // Every entry of a directory: shellQuoteGlob.
    static Arg everyEntryOf(std::string_view dir) { return {Kind::Glob, std::string(dir), {}}; }
    // A list of paths, each quoted on its own, separated by single blanks.
    // An empty list adds nothing to the line.
    static Arg wordList(std::vector<std::string> words) { return {Kind::Words, {}, std::move(words)}; }
};

// Joins the pieces with single blanks:
//   commandLine({Arg::literal("cp"), Arg::word(source), Arg::word(target)})
// gives "cp /home/ann/a.txt /home/ann/docs" for ordinary paths.
std::string commandLine(std::initializer_list<Arg> args);
std::string commandLine(const std::vector<Arg>& args);

}  // namespace kestrel
