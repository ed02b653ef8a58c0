#include "screen/palette.h"

namespace kestrel {

namespace {

constexpr std::uint8_t scale(int c6) { return static_cast<std::uint8_t>(c6 * 255 / 63); }
constexpr Rgb rgb6(int r, int g, int b) { return {scale(r), scale(g), scale(b)}; }

// The 16 classic colours at 6-bit levels.
constexpr int kClassic[16][3] = {
    {0, 0, 0},    {0, 0, 42},   {0, 42, 0},   {0, 42, 42},  {42, 0, 0},   {42, 0, 42},
    {42, 21, 0},  {42, 42, 42}, {21, 21, 21}, {21, 21, 63}, {21, 63, 21}, {21, 63, 63},
    {63, 21, 21}, {63, 21, 63}, {63, 63, 21}, {63, 63, 63},
};

constexpr int kGreys[16] = {0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};

// Nine hue ramps of 24 colours: three intensities by three saturations, each
// ramp walking blue, magenta, red, yellow, green, cyan and back towards blue
// through five levels from its lowest (a) to its highest (e).
constexpr int kRampLevels[9][5] = {
    {0, 16, 31, 47, 63},  {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
    {0, 7, 14, 21, 28},   {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
    {0, 4, 8, 12, 16},    {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
};

// Level numbers (0 = a ... 4 = e) of red, green and blue along one ramp.
constexpr int kRampShape[24][3] = {
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
};

Palette makeDefault() {
    Palette p{};
    for (int i = 0; i < 16; ++i) p[i] = rgb6(kClassic[i][0], kClassic[i][1], kClassic[i][2]);
    for (int i = 0; i < 16; ++i) p[16 + i] = rgb6(kGreys[i], kGreys[i], kGreys[i]);
    for (int ramp = 0; ramp < 9; ++ramp)
        for (int h = 0; h < 24; ++h) {
            const int* lv = kRampLevels[ramp];
            const int* sh = kRampShape[h];
            p[32 + ramp * 24 + h] = rgb6(lv[sh[0]], lv[sh[1]], lv[sh[2]]);
        }
    // Entries 248 to 255 stay black.
    return p;
}

}  // namespace

const Palette& defaultPalette() {
    static const Palette palette = makeDefault();
    return palette;
}

Rgb rgbFromPacked(std::uint32_t packed) {
    return rgb6(static_cast<int>(packed & 63), static_cast<int>((packed >> 8) & 63),
                static_cast<int>((packed >> 16) & 63));
}

}  // namespace kestrel
