// The camera: which 640 x 480 part of the 1280 x 600 world the window shows.
#pragma once

#include <cstdint>

constexpr int worldWidth = 1280;
constexpr int worldHeight = 600;

// Puts the world point at the middle of the window, never letting the view
// leave the world.
void centreCamera(std::int32_t x, std::int32_t y);

// The part of worldImage under the camera onto the freshly cleared screen.
void drawWorldView();
