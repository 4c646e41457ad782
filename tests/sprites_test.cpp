// The sprite tables and plotCode: the cell counts catch a slip in a hand-typed
// grid, and plotCode's odd inputs must behave the way the fortress build and the
// shot drawing rely on.
#include "battlefield/sprites.h"

#include <array>

#include <gtest/gtest.h>

#include "test_support.h"
#include "world_fixture.h"

namespace {

std::array<int, 10> codeCounts(const Sprite& sprite) {
    std::array<int, 10> counts{};
    for (int row = 0; row < sprite.height; ++row) {
        for (int column = 0; column < sprite.width; ++column) {
            ++counts.at(static_cast<std::size_t>(sprite.at(row, column)));
        }
    }
    return counts;
}

TEST(Sprites, CellCountsPerCode) {
    struct Case {
        const char* name;
        const Sprite* sprite;
        int size;
        std::array<int, 10> counts;
    };
    const Case cases[] = {
        {"shot", &shotSprite, 8, {0, 0, 14, 0, 0, 12, 0, 38, 0, 0}},
        {"fortress 1", &fortressSprite1, 64, {0, 0, 63, 32, 2058, 1769, 0, 174, 0, 0}},
        {"fortress 2", &fortressSprite2, 64, {0, 0, 1, 94, 2058, 1769, 0, 174, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.sprite->width, c.size);
        EXPECT_EQ(c.sprite->height, c.size);
        EXPECT_EQ(codeCounts(*c.sprite), c.counts);
    }
}

TEST(Sprites, FortressTwoTurnsEveryRedCellButTheFlagTipBlue) {
    int changed = 0;
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 64; ++column) {
            const ColourCode one = fortressSprite1.at(row, column);
            const ColourCode two = fortressSprite2.at(row, column);
            if (one != two) {
                ++changed;
                EXPECT_EQ(one, 2) << "row " << row << " column " << column;
                EXPECT_EQ(two, 3) << "row " << row << " column " << column;
            }
        }
    }
    EXPECT_EQ(changed, 62);
    EXPECT_EQ(fortressSprite1.at(0, 26), 2);
    EXPECT_EQ(fortressSprite2.at(0, 26), 2);
}

using PlotCodeTest = WithWorldPicture;

TEST_F(PlotCodeTest, EachCodeHasItsColourInTheWorldAndOnTheScreen) {
    // Written out here rather than taken from the game's table, so that a wrong
    // entry there shows.
    constexpr std::array<Colour, 10> expected{0xFFFF00FF, 0xFF00FF00, 0xFFFF0000, 0xFF0000FF,
                                              0xFFFFFFFF, 0xFF000000, 0xFFFFFF00, 0xFF808080,
                                              0xFF0000FF, 0xFF0000FF};
    for (ColourCode code = 0; code <= 9; ++code) {
        SCOPED_TRACE(code);
        const Colour colour = expected.at(static_cast<std::size_t>(code));
        // Pixels start white, so even the mask colour's own plot shows.
        setColour(white);
        plot(game.worldImage, 700 + code, 500);
        plot(screenImage(), 10 + code, 20);

        plotCode(code, 700 + code, 500, 0);
        EXPECT_EQ(currentColour(), colour);
        EXPECT_EQ(readPixel(game.worldImage, 700 + code, 500), colour);
        EXPECT_EQ(screenPixel(10 + code, 20), white) << "target 0 touched the screen";

        plotCode(code, 10 + code, 20, 1);
        EXPECT_EQ(screenPixel(10 + code, 20), colour);
    }
    EXPECT_EQ(readPixel(game.worldImage, 10, 20), maskColour) << "target 1 touched the world";
}

TEST_F(PlotCodeTest, CodeOutsideTheTableKeepsTheCurrentColour) {
    for (ColourCode code : {-1, 10, 99}) {
        SCOPED_TRACE(code);
        setColour(0xFF123456);
        plotCode(code, 30, 40, 1);
        EXPECT_EQ(currentColour(), 0xFF123456u);
        EXPECT_EQ(screenPixel(30, 40), 0xFF123456u);
        clearScreen();
        plotCode(code, 31, 41, 0);
        EXPECT_EQ(readPixel(game.worldImage, 31, 41), 0xFF123456u);
    }
}

TEST_F(PlotCodeTest, UnknownTargetPaintsNothingButSetsTheColour) {
    for (int target : {2, 3, 255}) {
        SCOPED_TRACE(target);
        setColour(white);
        plotCode(2, 50, 60, static_cast<std::uint8_t>(target));
        EXPECT_EQ(currentColour(), 0xFFFF0000u);
        EXPECT_EQ(screenPixel(50, 60), screenBackground);
        EXPECT_EQ(readPixel(game.worldImage, 50, 60), maskColour);
    }
}

}  // namespace
