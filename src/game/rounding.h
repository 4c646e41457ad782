// How the game turns real values into whole ones.
#pragma once

#include <cmath>
#include <cstdint>

// A real value stored into an integer goes to the nearest one, halves to the
// even neighbour (the default rounding mode).
inline std::int32_t nearestEven(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}
