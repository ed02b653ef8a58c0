#include "extern/quote.h"

namespace kestrel {
namespace {

bool isBareSafe(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case '/': case '.': case '_': case '-': case '+':
        case ',': case ':': case '@': case '%': case '=':
            return true;
        default:
            return false;
    }
}

bool allBareSafe(std::string_view word) {
    for (const char c : word)
        if (!isBareSafe(static_cast<unsigned char>(c))) return false;
    return true;
}

void appendPiece(std::string& line, const Arg& arg) {
    auto separate = [&line] {
        if (!line.empty()) line += ' ';
    };
    switch (arg.kind) {
        case Arg::Kind::Literal:
            separate();
            line += arg.text;
            break;
        case Arg::Kind::Word:
            separate();
            line += shellQuote(arg.text);
            break;
        case Arg::Kind::Glob:
            separate();
            line += shellQuoteGlob(arg.text);
            break;
        case Arg::Kind::Words:
            for (const std::string& word : arg.words) {
                separate();
                line += shellQuote(word);
            }
            break;
    }
}

}  // namespace

std::string shellQuote(std::string_view word) {
    if (word.empty()) return "''";
    std::string safe;
    if (word.front() == '-') safe = "./";
    safe += word;
    if (allBareSafe(safe)) return safe;

    std::string quoted = "'";
    for (const char c : safe) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string shellQuoteGlob(std::string_view dir) {
    if (dir.empty()) return "''";
    return shellQuote(dir) + "/*";
}

std::string commandLine(const std::vector<Arg>& args) {
    std::string line;
    for (const Arg& arg : args) appendPiece(line, arg);
    return line;
}

std::string commandLine(std::initializer_list<Arg> args) {
    std::string line;
    for (const Arg& arg : args) appendPiece(line, arg);
    return line;
}

}  // namespace kestrel
