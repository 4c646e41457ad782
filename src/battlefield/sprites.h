// Colour codes and the three sprites. Every picture that is not a line or a
// text is made of cells holding a one-digit colour code.
#pragma once

#include <array>
#include <cstdint>

#include "platform/graphics.h"

using ColourCode = std::int32_t;

// Code 0 stands for an absent cell; 5 (black) means empty.
constexpr ColourCode absentCode = 0;
constexpr ColourCode terrainCode = 1;
constexpr ColourCode emptyCode = 5;

constexpr std::array<Colour, 10> colourCodes{
    0xFFFF00FF,  // 0: the mask colour
    0xFF00FF00,  // 1: green, the ground
    0xFFFF0000,  // 2: red
    0xFF0000FF,  // 3: blue
    0xFFFFFFFF,  // 4: white
    0xFF000000,  // 5: black, empty
    0xFFFFFF00,  // 6: yellow
    0xFF808080,  // 7: grey
    0xFF0000FF,  // 8: blue, as 3
    0xFF0000FF,  // 9: blue, as 3
};

// The ground is known by its colour alone: what the terrain paints is what the
// impact test looks for. Craters and knocked-out pixels are painted empty.
constexpr Colour terrainColour = colourCodes[terrainCode];
constexpr Colour emptyColour = colourCodes[emptyCode];

constexpr int fortressSize = 64;
constexpr int shotSize = 8;

struct Sprite {
    std::int32_t width;
    std::int32_t height;
    const std::uint8_t* codes;  // width * height codes, row-major, top row first

    [[nodiscard]] ColourCode at(int row, int column) const { return codes[row * width + column]; }
};

extern const Sprite shotSprite;
extern const Sprite fortressSprite1;
extern const Sprite fortressSprite2;

// One fortress cell as placed in the world; code 5 once knocked out.
struct FortressPixel {
    std::int32_t x;
    std::int32_t y;
    std::int32_t code;
};

constexpr std::uint8_t plotIntoWorld = 0;
constexpr std::uint8_t plotOntoScreen = 1;

// Sets the code's colour (codes outside 0 to 9 keep the current one) and
// plots one pixel of worldImage (target 0) or of the screen (target 1); any
// other target paints nothing, though the colour has been set.
void plotCode(ColourCode code, std::int32_t x, std::int32_t y, std::uint8_t target);
