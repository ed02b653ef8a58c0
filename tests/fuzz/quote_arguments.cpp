// Quoting and argument splitting on any words. A quoted word, read back the
// way the shell reads it, is the word (behind "./" when it starts with "-"),
// and nothing in it is left for the shell to interpret; an argument string
// built from double-quoted words splits back into those words.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extern/arguments.h"
#include "extern/quote.h"
#include "fuzz_check.h"

using namespace kestrel;

namespace {

bool bareSafe(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
           std::string_view("/._-+,:@%=").find(c) != std::string_view::npos;
}

// What the shell makes of one word built of bare characters, single-quoted
// runs and \' (the only escape shellQuote writes). False on anything else.
bool shellRead(std::string_view q, std::string& out) {
    out.clear();
    for (size_t i = 0; i < q.size();) {
        if (q[i] == '\'') {
            const size_t end = q.find('\'', i + 1);
            if (end == std::string_view::npos) return false;
            out.append(q.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (q[i] == '\\' && i + 1 < q.size() && q[i + 1] == '\'') {
            out += '\'';
            i += 2;
        } else if (bareSafe(q[i])) {
            out += q[i++];
        } else {
            return false;
        }
    }
    return true;
}

std::vector<std::string> wordsOf(std::string_view data) {
    std::vector<std::string> words;
    size_t start = 0;
    for (size_t i = 0; i <= data.size(); ++i)
        if (i == data.size() || data[i] == '\0') {
            words.emplace_back(data.substr(start, i - start));
            start = i + 1;
        }
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = wordsOf(input);
    std::string read;
    std::string argString;
    bool quotable = true;
    for (const std::string& w : words) {
        const std::string q = shellQuote(w);
        FUZZ_CHECK(shellRead(q, read));
        FUZZ_CHECK(read == (!w.empty() && w.front() == '-' ? "./" + w : w));
        if (!w.empty()) {
            const std::string g = shellQuoteGlob(w);
            FUZZ_CHECK(g.size() > 2 && g.substr(g.size() - 2) == "/*");
            FUZZ_CHECK(shellRead(std::string_view(g).substr(0, g.size() - 2), read));
        }
        if (w.find('"') != std::string::npos) quotable = false;
        argString += (argString.empty() ? "\"" : " \"") + w + "\"";
    }

    // The raw input as an argument string: never an argument with a quote.
    for (const std::string& a : splitArguments(input))
        FUZZ_CHECK(a.find('"') == std::string::npos);
    if (quotable) FUZZ_CHECK(splitArguments(argString) == words);
    return 0;
}
