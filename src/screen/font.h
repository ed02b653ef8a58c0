#pragma once
// The built-in 8x16 code-page-437 font: 256 glyphs, one byte per pixel row,
// most significant bit leftmost.
#include <array>
#include <cstdint>

namespace kestrel {
extern const std::array<std::array<std::uint8_t, 16>, 256> kFont8x16;
}
