// The font is drawn by hand, so these checks catch slips of the pen: a missing or duplicated
// glyph, ink in the gap between characters, or a lopsided symmetric shape.
#include "platform/font8x8.h"

#include <climits>
#include <map>
#include <string_view>

#include <gtest/gtest.h>

namespace {

constexpr std::string_view kDescenders = "gjpqy,;_";

bool inked(const GlyphRows& glyph, int row, int column) {
    return (glyph[row] & (0x80u >> column)) != 0;
}

// Reflects the drawn part of the cell, columns 0 to 6, about its centre column.
GlyphRows mirrored(const GlyphRows& glyph) {
    GlyphRows result{};
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 7; ++column) {
            if (inked(glyph, row, 6 - column)) {
                result[row] |= static_cast<std::uint8_t>(0x80u >> column);
            }
        }
    }
    return result;
}

}  // namespace

TEST(Font8x8, OnlyPrintableAsciiHasGlyphs) {
    for (int code = CHAR_MIN; code <= CHAR_MAX; ++code) {
        const bool printable = code >= 32 && code <= 126;
        EXPECT_EQ(glyphFor(static_cast<char>(code)) != nullptr, printable) << "code " << code;
    }
}

TEST(Font8x8, SpaceIsBlankAndEveryOtherGlyphIsDistinctAndInked) {
    EXPECT_EQ(*glyphFor(' '), GlyphRows{});
    std::map<GlyphRows, char> owners;
    for (char character = '!'; character <= '~'; ++character) {
        const GlyphRows& glyph = *glyphFor(character);
        EXPECT_NE(glyph, GlyphRows{}) << "'" << character << "' is blank";
        const auto [owner, fresh] = owners.emplace(glyph, character);
        EXPECT_TRUE(fresh) << "'" << character << "' looks like '" << owner->second << "'";
    }
}

TEST(Font8x8, GlyphsLeaveTheGapColumnAndDescenderRowFree) {
    for (char character = ' '; character <= '~'; ++character) {
        const GlyphRows& glyph = *glyphFor(character);
        for (int row = 0; row < 8; ++row) {
            EXPECT_FALSE(inked(glyph, row, 7)) << "'" << character << "' row " << row;
        }
        const bool descends = kDescenders.find(character) != std::string_view::npos;
        EXPECT_EQ(glyph[7] != 0, descends) << "'" << character << "'";
    }
}

TEST(Font8x8, SymmetricShapesMirrorCorrectly) {
    for (char character : std::string_view("!\"#'*+-=^|8AHIMOTUVWXYovwx")) {
        EXPECT_EQ(mirrored(*glyphFor(character)), *glyphFor(character)) << "'" << character << "'";
    }
    for (std::string_view pair : {"()", "<>", "/\\", "[]", "{}", "bd"}) {
        EXPECT_EQ(mirrored(*glyphFor(pair[0])), *glyphFor(pair[1])) << pair;
    }
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ((*glyphFor('|'))[row], 0x10) << "'|' row " << row;
    }
}
