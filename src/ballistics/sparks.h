// Debris sparks: small yellow plus signs thrown up at every contact. They live
// in screen coordinates and do not scroll with the camera.
#pragma once

#include <cstdint>

struct Debris {
    std::uint8_t active;
    std::uint8_t rise;  // pixels up per frame, 1 to 10
    std::int32_t x;     // screen position of the centre
    std::int32_t y;
    std::int32_t life;  // frames left; the spark dies below 1
};

constexpr int sparkSlots = 16;

// Starts sparks along the top row of a shot area whose corner is (left, top).
void spawnSparks(std::int32_t left, std::int32_t top);

// Ages, moves and draws the live sparks; once per battle frame.
void updateSparks();

// Switches every spark off when a battle ends.
void clearSparks();
