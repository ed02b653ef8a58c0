#pragma once
// Pointer pixels to text cells: column = (x + 4) / 8 and row = (y + 8) / 16,
// each rounded to the nearest integer with ties to even. The odd rule on
// every other cell's first pixel is how Kestrel's hit areas were laid out.
namespace kestrel {

struct Cell {
    int row = 0, col = 0;
};

// Rounds n / d (d > 0) to the nearest integer, ties to even.
constexpr int divRoundEven(int n, int d) {
    int q = n / d, r = n % d;
    if (r < 0) { r += d; --q; }
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return q;
}

constexpr Cell cellOf(int x, int y) { return {divRoundEven(y + 8, 16), divRoundEven(x + 4, 8)}; }

}  // namespace kestrel
