// Aiming, the barrel and power lines, the status bar, the help line and the
// countdown that passes the turn, all seen through whole battle frames.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/font8x8.h"
#include "test_support.h"

namespace {

constexpr Colour red = 0xFFFF0000;
constexpr Colour blue = 0xFF0000FF;
constexpr Colour yellow = 0xFFFFFF00;
constexpr Colour black = 0xFF000000;

using Point = std::pair<int, int>;
using PointSet = std::set<Point>;

// The world view shows every colour one step darker than it is stored, so
// exact full-strength red and yellow on the screen can only come from the
// lines drawn over it. The rows of the status bar, the health numbers and
// the help line are left out.
PointSet screenPixelsOf(Colour colour) {
    PointSet found;
    for (int y = 40; y < 450; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (screenPixel(x, y) == colour) {
                found.insert({x, y});
            }
        }
    }
    return found;
}

PointSet horizontalRun(int fromX, int toX, int y) {
    PointSet run;
    for (int x = std::min(fromX, toX); x <= std::max(fromX, toX); ++x) {
        run.insert({x, y});
    }
    return run;
}

PointSet verticalRun(int x, int fromY, int toY) {
    PointSet run;
    for (int y = std::min(fromY, toY); y <= std::max(fromY, toY); ++y) {
        run.insert({x, y});
    }
    return run;
}

// Every inked pixel of the text is in the colour; with the background checked
// too, no pixel of its cells outside the glyphs is, so the text is exactly
// this one. Cells beyond the right edge of the screen are not looked at.
::testing::AssertionResult textShown(int left, int top, std::string_view text, Colour colour,
                                     bool checkBackground = true) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const GlyphRows* glyph = glyphFor(text[i]);
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                const int x = left + static_cast<int>(i) * 8 + column;
                if (x >= screenWidth) {
                    continue;
                }
                const bool inked = glyph != nullptr && ((*glyph)[row] & (0x80u >> column)) != 0;
                const Colour seen = screenPixel(x, top + row);
                if (inked && seen != colour) {
                    return ::testing::AssertionFailure()
                           << "'" << text[i] << "' of \"" << text << "\": pixel (" << x << ", "
                           << top + row << ") is " << std::hex << seen << ", not " << colour;
                }
                if (!inked && checkBackground && seen == colour) {
                    return ::testing::AssertionFailure()
                           << "'" << text[i] << "' of \"" << text << "\": stray ink at (" << x
                           << ", " << top + row << ")";
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Where the barrel of player p turns on the screen this frame.
Point pivotOnScreen(int p) {
    return {game.fortressX[p] + 32 - game.cameraX, game.fortressY[p] - 4 - game.cameraY};
}

Point cornerCamera(int p) {
    return {std::clamp(game.fortressX[p] - 320, 0, 640),
            std::clamp(game.fortressY[p] - 240, 0, 120)};
}

class TurnsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Fortress 1 at (374, 318), fortress 2 at (1155, 325): the view on
        // either corner stops short of the world's top edge, and the view on
        // fortress 1 short of its left edge too.
        restartGame(70);
        startBattle();
    }
};

struct AimCase {
    const char* name;
    std::int32_t angle;
    std::uint8_t power;
    std::vector<int> keys;
    std::int32_t expectedAngle;
    std::uint8_t expectedPower;
};

TEST_F(TurnsTest, ArrowKeysWrapTheAngleAndHoldThePowerInRange) {
    const AimCase cases[] = {
        {"Left at 360 wraps to 0", 360, 50, {key::left}, 0, 50},
        {"Right at 0 wraps to 360", 0, 50, {key::right}, 360, 50},
        {"Left at 359 reaches 360", 359, 50, {key::left}, 360, 50},
        {"Right at 1 reaches 0", 1, 50, {key::right}, 0, 50},
        {"Up at 100 stays", 90, 100, {key::up}, 90, 100},
        {"Up at 99 reaches 100", 90, 99, {key::up}, 90, 100},
        {"Down at 2 stays", 90, 2, {key::down}, 90, 2},
        {"Down at 3 reaches 2", 90, 3, {key::down}, 90, 2},
        {"Left and Right together from 360", 360, 50, {key::left, key::right}, 360, 50},
        {"Up and Down together at 100", 90, 100, {key::up, key::down}, 90, 99},
    };
    for (const AimCase& c : cases) {
        SCOPED_TRACE(c.name);
        game.aimAngle[1] = c.angle;
        game.aimPower[1] = c.power;
        releaseAllKeys();
        for (int code : c.keys) {
            setKeyHeld(code, true);
        }
        runFramePass();
        EXPECT_EQ(game.aimAngle[1], c.expectedAngle);
        EXPECT_EQ(game.aimPower[1], c.expectedPower);
        // Only the active player aims.
        EXPECT_EQ(game.aimAngle[2], 135);
        EXPECT_EQ(game.aimPower[2], 10);
    }
}

TEST_F(TurnsTest, BarrelIsRedAndThePowerLineYellowOverIt) {
    struct LineCase {
        std::int32_t angle;
        std::uint8_t power;
        // The pixels each line should cover, from the pivot on the screen.
        PointSet (*yellowPart)(Point);
        PointSet (*redPart)(Point);
    };
    const LineCase cases[] = {
        // Power 30: the yellow line is 19.2 long, the barrel shows past it.
        {0, 30, [](Point p) { return horizontalRun(p.first, p.first + 19, p.second); },
         [](Point p) { return horizontalRun(p.first + 20, p.first + 64, p.second); }},
        // Power 2: 1.28 pixels, rounded to 1; the barrel points left.
        {180, 2, [](Point p) { return horizontalRun(p.first - 1, p.first, p.second); },
         [](Point p) { return horizontalRun(p.first - 64, p.first - 2, p.second); }},
        // Power 10: 6.4 pixels, rounded to 6; straight down into the fortress.
        {270, 10, [](Point p) { return verticalRun(p.first, p.second, p.second + 6); },
         [](Point p) { return verticalRun(p.first, p.second + 7, p.second + 64); }},
        // Power 100: the yellow line covers the whole barrel.
        {90, 100, [](Point p) { return verticalRun(p.first, p.second - 64, p.second); },
         [](Point) { return PointSet{}; }},
        {45, 100,
         [](Point p) {
             PointSet diagonal;
             for (int i = 0; i <= 45; ++i) {
                 diagonal.insert({p.first + i, p.second - i});
             }
             return diagonal;
         },
         [](Point) { return PointSet{}; }},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE("angle " + std::to_string(c.angle) + ", power " + std::to_string(c.power));
        game.aimAngle[1] = c.angle;
        game.aimPower[1] = c.power;
        runFramePass();
        const Point pivot = pivotOnScreen(1);
        EXPECT_EQ(screenPixelsOf(yellow), c.yellowPart(pivot));
        EXPECT_EQ(screenPixelsOf(red), c.redPart(pivot));
    }
}

TEST_F(TurnsTest, OnlyTheActivePlayersLinesAreDrawn) {
    // Fortress 2 moved within sight of fortress 1, so that its lines would
    // show if they were drawn.
    game.fortressX[2] = game.fortressX[1] + 150;
    game.fortressY[2] = game.fortressY[1];
    for (int p = 1; p <= 2; ++p) {
        game.aimAngle[p] = 90;
        game.aimPower[p] = 100;
    }
    for (std::uint8_t active : {1, 2}) {
        SCOPED_TRACE("player " + std::to_string(active));
        game.currentPlayer = active;
        runFramePass();
        const Point pivot = pivotOnScreen(active);
        EXPECT_EQ(screenPixelsOf(yellow),
                  verticalRun(pivot.first, pivot.second - 64, pivot.second));
    }
}

TEST_F(TurnsTest, NoLinesWhileAShotFlies) {
    game.aimAngle[1] = 90;
    game.aimPower[1] = 100;
    runFramePass();
    EXPECT_EQ(screenPixelsOf(yellow).size(), 65u);

    holdOnly({key::enter});
    runFramePass();
    releaseAllKeys();
    runFramePass();
    ASSERT_EQ(game.shot.inFlight, 1);
    EXPECT_TRUE(screenPixelsOf(yellow).empty());
    // The only full-strength red left is the core of the shot sprite.
    EXPECT_EQ(screenPixelsOf(red).size(), 14u);
}

TEST_F(TurnsTest, HealthBarsShortenByOnePixelPerPointLost) {
    const std::pair<std::uint8_t, std::uint8_t> healths[] = {{100, 100}, {99, 24}, {25, 73}};
    for (const auto& [health1, health2] : healths) {
        SCOPED_TRACE("health " + std::to_string(health1) + " and " + std::to_string(health2));
        game.fortressHealth[1] = health1;
        game.fortressHealth[2] = health2;
        runFramePass();
        for (int y = 2; y <= 12; ++y) {
            for (int x = 2; x <= 102; ++x) {
                ASSERT_EQ(screenPixel(x, y), x <= health1 + 2 ? red : white) << x << ", " << y;
            }
            for (int x = 538; x <= 638; ++x) {
                ASSERT_EQ(screenPixel(x, y), x <= health2 + 538 ? blue : white) << x << ", " << y;
            }
            for (int x : {1, 103, 537, 639}) {
                EXPECT_NE(screenPixel(x, y), white) << x << ", " << y;
            }
        }
        // While aiming the numbers take the power line's yellow.
        EXPECT_TRUE(textShown(2, 25, std::to_string(health1), yellow));
        EXPECT_TRUE(textShown(538, 25, std::to_string(health2), yellow));
    }
}

TEST(TurnsHelpLine, WhiteAtTheBottomInTheCurrentLanguage) {
    restartGame(3);
    startBattle();
    runFramePass();
    EXPECT_TRUE(textShown(
        2, 460, "NYIL gombokkal allithato a loves milyensege, ENTER-rel lohetsz, Q-val kilephetsz.",
        white));

    restartGame(3);
    holdOnly({key::l});
    runFramePass();
    startBattle();
    runFramePass();
    EXPECT_TRUE(
        textShown(2, 460, "ARROW keys to set quality of shoot, ENTER to fire, Q to quit.", white));
}

// While aiming the numbers are yellow; while the shot flies they take the
// black of the shot sprite's last cell; in the frame the shot leaves the
// world nothing has set a colour since the last frame's white help line.
TEST_F(TurnsTest, HealthNumbersTakeTheColourLastSetInTheFrame) {
    runFramePass();
    EXPECT_TRUE(textShown(2, 25, "100", yellow));
    EXPECT_TRUE(textShown(538, 25, "100", yellow));

    game.aimAngle[1] = 90;
    game.aimPower[1] = 50;
    holdOnly({key::enter});
    runFramePass();
    releaseAllKeys();
    runFramePass();
    ASSERT_EQ(game.shot.inFlight, 1);
    EXPECT_TRUE(textShown(2, 25, "100", black, false));
    EXPECT_TRUE(textShown(538, 25, "100", black, false));

    // Next position: x = 5 - 100 * 0.05 = 0, past the left edge.
    game.shot = {1, 100, 5, 200, 180, 0.05f};
    runFramePass();
    ASSERT_EQ(game.shot.inFlight, 0);
    ASSERT_EQ(game.turnDelay, 99);
    EXPECT_TRUE(textShown(2, 25, "100", white));
    EXPECT_TRUE(textShown(538, 25, "100", white));
}

TEST_F(TurnsTest, TurnPassesInTheHundredthFrameAndTheCameraJumps) {
    // Aiming alone never passes the turn.
    runFrames(150);
    EXPECT_EQ(game.currentPlayer, 1);

    for (int shooter = 1; shooter <= 2; ++shooter) {
        SCOPED_TRACE("shot of player " + std::to_string(shooter));
        const int other = 3 - shooter;
        // Straight down onto the own fortress: a quick, certain contact.
        game.aimAngle[shooter] = 270;
        holdOnly({key::enter});
        runFramePass();
        releaseAllKeys();
        ASSERT_EQ(game.shot.inFlight, 1);
        for (int frame = 0; frame < 200 && game.shot.inFlight == 1; ++frame) {
            runFramePass();
        }
        ASSERT_EQ(game.shot.inFlight, 0);
        // The frame in which the shot ended is the first of the hundred.
        EXPECT_EQ(game.turnDelay, 99);
        const Point cameraAtContact{game.cameraX, game.cameraY};
        for (int frame = 2; frame <= 99; ++frame) {
            runFramePass();
        }
        EXPECT_EQ(game.turnDelay, 1);
        EXPECT_EQ(game.currentPlayer, shooter);
        EXPECT_EQ((Point{game.cameraX, game.cameraY}), cameraAtContact);

        runFramePass();
        EXPECT_EQ(game.turnDelay, 0);
        EXPECT_EQ(game.currentPlayer, other);
        EXPECT_EQ((Point{game.cameraX, game.cameraY}), cornerCamera(other));
    }
}

}  // namespace
