#pragma once
// What every fuzz target uses: the standard pieces, and FUZZ_CHECK: a failed property ends the run with a
// message; libFuzzer keeps the input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>
#define FUZZ_CHECK(cond) \
    ((cond) ? void() : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond), std::abort()))
