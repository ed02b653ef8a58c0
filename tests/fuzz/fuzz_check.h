#pragma once
// A failed property ends the run with a message; libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#define FUZZ_CHECK(cond) \
    ((cond) ? void() : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond), std::abort()))
