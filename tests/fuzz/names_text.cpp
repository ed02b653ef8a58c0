// Any bytes drawn as a name: every byte is taken by exactly one character or stands alone, a cell limit is never
// passed, and the tail that fits a width fits it.
#include "fuzz_check.h"
#include "screen/utf8_text.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Screen& screen = fuzzScreen<640, 480>();
    const std::string_view text = fuzzText(data, size);
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Unit u = decodeUtf8(text, at);
        FUZZ_CHECK(u.length >= 1 && at + static_cast<std::size_t>(u.length) <= text.size());
        FUZZ_CHECK(u.valid ? u.code <= 0x10FFFF && (u.code < 0xD800 || u.code > 0xDFFF) : u.length == 1);
        at += static_cast<std::size_t>(u.length);
    }
    const int limit = static_cast<int>(size % 41);
    const int whole = screen.textCells(text);
    screen.locate(5, 2);
    FUZZ_CHECK(screen.printText(text, limit) <= limit);
    screen.locate(1, 1);
    FUZZ_CHECK(screen.printText(text) == whole);
    const std::size_t tail = screen.textTailStart(text, limit);
    FUZZ_CHECK(tail <= text.size() && screen.textCells(text.substr(tail)) <= limit);
    return 0;
}
