// The one shot: fired with Enter, flown on a closed-form ballistic path.
#pragma once

#include <cstdint>

struct ShotState {
    std::uint8_t inFlight;  // 1 while the shot flies
    std::uint8_t power;     // copied from the firing player's aimPower
    std::int32_t originX;   // world position of the launch point
    std::int32_t originY;
    std::int32_t angle;  // whole degrees, counter-clockwise from pointing right
    float time;          // flight time, 0.0 at launch
};

// Enter starts a shot when none flies and no turn delay runs.
void tryFireShot();

// Moves a flying shot, centres the camera on it and tests it for contact.
void advanceShot();
