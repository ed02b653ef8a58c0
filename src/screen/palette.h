#pragma once
#include <array>
#include <cstdint>

namespace kestrel {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

using Palette = std::array<Rgb, 256>;

// The standard VGA 256-colour default palette, 8 bits per component.
const Palette& defaultPalette();

// A packed 0xBBGGRR value with six significant bits per component, each
// scaled to 8 bits as c * 255 / 63 (truncated). Bits 6 and 7 of each byte
// are ignored.
Rgb rgbFromPacked(std::uint32_t packed);

}  // namespace kestrel
