#pragma once
// The window's scale on HiDPI desktops: every pixel of Kestrel's page is shown
// as an n x n block, and everything the program sees of the desktop (its
// size, the window's place, the pointer) is divided by n, so every rule works
// in the unscaled pixels it was written for. Pure functions.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

constexpr int kMaxScale = 8;

// Xft.dpi from the X resource database's text ("Xft.dpi:\t192\n..."); nothing
// when it is missing or not a positive number.
std::optional<double> xftDpi(std::string_view resources);

// The scale the desktop asks for: GDK_SCALE when it is an integer above 1;
// else from Xft.dpi: 2 from 144 dpi, 3 from 240, one more every 96 dpi;
// else 1 (96 dpi and no GDK_SCALE: nothing changes). At most kMaxScale.
int desktopScale(std::string_view resources, const char* gdkScale);

// Division rounding toward minus infinity, for window positions left of or
// above the desktop.
constexpr int floorDiv(int a, int n) { return a >= 0 ? a / n : -((-a + n - 1) / n); }

// One row of pixels widened n times: each of `count` pixels becomes n copies.
void widenRow(const std::uint32_t* in, int count, int n, std::uint32_t* out);

}  // namespace kestrel
