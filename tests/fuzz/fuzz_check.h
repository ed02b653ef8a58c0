#pragma once
// What every fuzz target uses. FUZZ_CHECK: a failed property ends the run with a message; libFuzzer keeps the input.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "screen/screen.h"  // with the string, vector and integer headers

#define FUZZ_CHECK(cond) \
    ((cond) ? void() : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond), std::abort()))

inline std::string_view fuzzText(const std::uint8_t* data, std::size_t size) { return {reinterpret_cast<const char*>(data), size}; }

// One headless screen of each size for the whole run.
template <int W, int H>
kestrel::Screen& fuzzScreen() {
    static kestrel::RealClock clock;
    static kestrel::Input input;
    static kestrel::HeadlessPresenter presenter(&input);
    static kestrel::Screen screen(clock, input, presenter);
    static const bool opened = screen.setMode(W, H);
    FUZZ_CHECK(opened);
    return screen;
}
