// The game's own 8 x 8 font for the printable ASCII characters 32 to 126.
#pragma once

#include <array>
#include <cstdint>

// Eight rows, top row first; bit 7 of a row is its leftmost pixel.
using GlyphRows = std::array<std::uint8_t, 8>;

// The glyph of a printable character, or nullptr for any other character.
const GlyphRows* glyphFor(char character);
