#pragma once
// Reading names as UTF-8 for drawing: one character (or one stray byte) at a
// time, and the code-page-437 glyph of a character where the font has one.
// Pure functions; the drawing itself is Screen::printText.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

struct Utf8Unit {
    char32_t code = 0;  // the character, or the byte value when not valid
    int length = 1;     // bytes taken
    bool valid = false; // false: a byte that starts no well-formed sequence
};

// The character that starts at `at`. Overlong forms, surrogates, code points
// past U+10FFFF and cut-off sequences are not valid: their first byte is
// taken alone, so every byte of a name is still shown.
Utf8Unit decodeUtf8(std::string_view text, std::size_t at);

// The glyph code page 437 has for a character (U+00E9 gives 130, U+2550 205),
// printable ASCII as itself; nothing for control characters.
std::optional<std::uint8_t> cp437Glyph(char32_t code);

// C0 and C1 controls and DEL: drawn as the replacement glyph, never as the
// picture code page 437 keeps at their byte.
constexpr bool isControlCharacter(char32_t code) { return code < 0x20 || (code >= 0x7F && code < 0xA0); }

}  // namespace kestrel
