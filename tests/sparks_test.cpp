// The sixteen spark slots: which draws start a spark, what they become, how
// long a spark is seen, and the sparks of a victory that are never seen.
#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "ballistics/sparks.h"
#include "test_support.h"

namespace {

constexpr Colour yellow = 0xFFFFFF00;
constexpr Debris leftover{1, 3, 77, 88, 20};

using Point = std::pair<int, int>;

void expectSpark(const Debris& spark, const Debris& expected) {
    EXPECT_EQ(spark.active, expected.active);
    EXPECT_EQ(spark.rise, expected.rise);
    EXPECT_EQ(spark.x, expected.x);
    EXPECT_EQ(spark.y, expected.y);
    EXPECT_EQ(spark.life, expected.life);
}

// Yellow screen pixels in a band of columns, between the status numbers and
// the help line.
std::set<Point> yellowAround(int x) {
    std::set<Point> found;
    for (int y = 40; y < 450; ++y) {
        for (int column = x - 2; column <= x + 2; ++column) {
            if (screenPixel(column, y) == yellow) {
                found.insert({column, y});
            }
        }
    }
    return found;
}

TEST(SparkSpawn, ThreeQuartersStartsASparkAndLaterSlotsKeepTheirContents) {
    restartGame();
    for (Debris& spark : game.debris) {
        spark = leftover;
    }
    queueRandomUnits({
        0.75, 0.0, 0.0,                  // column 100: a spark, slowest and shortest
        0.7499999,                       // column 101: none
        0.9999999, 0.9999999, 0.9999999  // column 102: fastest and longest
    });
    for (int column = 103; column < 116; ++column) {
        queueRandomUnits({0.5});
    }
    queueRandomUnits({0.125});
    spawnSparks(100, 200);

    expectSpark(game.debris[0], {1, 1, 100, 200, 10});
    expectSpark(game.debris[1], {1, 10, 102, 200, 59});
    for (int slot = 2; slot < 16; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        expectSpark(game.debris[slot], leftover);
    }
    // Sixteen chances and two draws per spark, no more.
    EXPECT_EQ(randomUnit(), 0.125);
}

TEST(SparkSpawn, SixteenSparksFillTheSlotsInColumnOrder) {
    restartGame();
    for (int column = 0; column < 16; ++column) {
        queueRandomUnits({0.8, (column % 10) / 10.0 + 0.05, column / 50.0 + 0.001});
    }
    spawnSparks(-4, 30);
    for (int slot = 0; slot < 16; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        expectSpark(game.debris[slot],
                    {1, static_cast<std::uint8_t>(slot % 10 + 1), slot - 4, 30, slot + 10});
    }
}

// The contact happens in the flight step, before the sparks are updated: a
// spark of life L is drawn already in the frame of the contact and in the
// frames up to the (L - 1)th, each time rise pixels higher, as a yellow plus
// sign, and switched off unseen in frame L.
TEST(SparkFlight, SeenFromTheContactFrameForAllButTheLastFrameOfItsLife) {
    struct Case {
        double riseDraw;
        double lifeDraw;
        int rise;
        int life;
    };
    for (const Case& c : {Case{0.0, 0.0, 1, 10}, Case{0.9999999, 0.9999999, 10, 59}}) {
        SCOPED_TRACE("rise " + std::to_string(c.rise) + ", life " + std::to_string(c.life));
        restartGame(9);
        startBattle();
        // Straight down onto the own fortress; only the first column sparks.
        game.aimAngle[1] = 270;
        queueRandomUnits({0.75, c.riseDraw, c.lifeDraw});
        for (int column = 1; column < 16; ++column) {
            queueRandomUnits({0.0});
        }
        holdOnly({key::enter});
        runFramePass();
        releaseAllKeys();
        for (int frame = 0; frame < 100 && game.shot.inFlight == 1; ++frame) {
            runFramePass();
        }
        ASSERT_EQ(game.shot.inFlight, 0);

        // The spark starts four columns left of the barrel's pivot, clear of
        // its yellow power line.
        const Debris& spark = game.debris[0];
        const int x = spark.x;
        EXPECT_EQ(x, game.fortressX[1] + 28 - game.cameraX);
        const int top = spark.y + c.rise;
        for (int frame = 1; frame < c.life; ++frame) {
            if (frame > 1) {
                runFramePass();
            }
            ASSERT_EQ(spark.active, 1) << "frame " << frame;
            ASSERT_EQ(spark.life, c.life - frame) << "frame " << frame;
            const int y = top - frame * c.rise;
            ASSERT_EQ(spark.y, y) << "frame " << frame;
            if (y - 1 >= 40 && y + 1 < 450) {
                const std::set<Point> plus{{x, y}, {x, y - 1}, {x, y + 1}, {x + 1, y}, {x - 1, y}};
                ASSERT_EQ(yellowAround(x), plus) << "frame " << frame;
            }
        }
        runFramePass();
        EXPECT_EQ(spark.active, 0);
        EXPECT_EQ(spark.y, top - (c.life - 1) * c.rise);
        EXPECT_TRUE(yellowAround(x).empty());
    }
}

TEST(SparkFlight, SparksOfAVictoryAreNeverDrawn) {
    restartGame(13);
    startBattle();
    game.fortressHealth[1] = 25;
    game.aimAngle[1] = 270;
    for (int column = 0; column < 16; ++column) {
        queueRandomUnits({0.9, 0.5, 0.5});
    }
    holdOnly({key::enter});
    for (int frame = 0; frame < 300 && game.state == GameState::Battle; ++frame) {
        runFramePass();
    }
    ASSERT_EQ(game.state, GameState::GameOver);
    ASSERT_EQ(game.fortressHealth[1], 24);
    EXPECT_EQ(game.debris[15].life, 35);  // all sixteen were started
    for (const Debris& spark : game.debris) {
        EXPECT_EQ(spark.active, 0);
    }
    // Not in the victory frame, nor on the result screen after it.
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                ASSERT_NE(screenPixel(x, y), yellow) << x << ", " << y << " in pass " << pass;
            }
        }
        runFramePass();
    }
}

}  // namespace
