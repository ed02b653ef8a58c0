#pragma once
#include <cmath>

namespace kestrel {

// Nearest integer, halves to the even neighbour: how Kestrel centres texts
// and places the scroll-bar thumb.
inline int roundEven(double v) { return static_cast<int>(std::nearbyint(v)); }
inline int roundEvenF(float v) { return static_cast<int>(std::nearbyintf(v)); }

}  // namespace kestrel
