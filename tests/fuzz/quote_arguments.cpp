// Quoting and splitting on any NUL-separated words: a quoted word reads back as the word ("./" before a
// leading "-") with nothing left for the shell to interpret; double-quoted words split back whole.
#include <cctype>

#include "extern/arguments.h"
#include "extern/quote.h"
#include "fuzz_check.h"

using namespace kestrel;

// What the shell makes of bare safe characters, single-quoted runs and \' (shellQuote's only escape).
static bool shellRead(std::string_view q, std::string& out) {
    out.clear();
    for (size_t i = 0; i < q.size();) {
        const auto u = static_cast<unsigned char>(q[i]);
        if (q[i] == '\'') {
            const size_t end = q.find('\'', i + 1);
            if (end == std::string_view::npos) return false;
            out.append(q.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (q.substr(i, 2) == "\\'") {
            out += '\'';
            i += 2;
        } else {
            if (!(std::isalnum(u) && u < 128) && std::string_view("/._-+,:@%=").find(q[i]) == std::string_view::npos) return false;
            out += q[i++];
        }
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzzText(data, size);
    std::vector<std::string> words;
    for (size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1)
        words.emplace_back(input.substr(start, (end = input.find('\0', start)) - start));
    std::string read, argString;  // argString: the words double-quoted
    for (const std::string& w : words) {
        FUZZ_CHECK(shellRead(shellQuote(w), read) && read == (w.starts_with('-') ? "./" + w : w));
        const std::string g = shellQuoteGlob(w);
        if (!w.empty()) FUZZ_CHECK(g.ends_with("/*") && shellRead(std::string_view(g).substr(0, g.size() - 2), read));
        argString += (argString.empty() ? "\"" : " \"") + w + "\"";
    }
    // The raw input as an argument string: never an argument with a quote.
    for (const std::string& a : splitArguments(input)) FUZZ_CHECK(a.find('"') == std::string::npos);
    if (input.find('"') == std::string_view::npos) FUZZ_CHECK(splitArguments(argString) == words);
    return 0;
}
