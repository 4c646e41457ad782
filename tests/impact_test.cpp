// The contact test on small hand-made worlds: an empty sky with only the
// ground pixels and fortresses each case needs.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ballistics/impact.h"
#include "battlefield/battlefield.h"
#include "test_support.h"

namespace {

constexpr Colour green = 0xFF00FF00;
constexpr Colour black = 0xFF000000;

class ImpactTest : public ::testing::Test {
protected:
    void SetUp() override { freshWorld(); }

    // An empty world in the middle of a flight, seen from a camera away from
    // the origin so that screen and world positions differ.
    static void freshWorld() {
        restartGame(5);
        game.state = GameState::Battle;
        game.currentPlayer = 1;
        game.worldImage = createImage(1280, 600);
        game.shot.inFlight = 1;
        game.cameraX = 200;
        game.cameraY = 50;
    }

    static void paint(int x, int y, Colour colour) {
        setColour(colour);
        plot(game.worldImage, static_cast<float>(x), static_cast<float>(y));
    }

    static Colour world(int x, int y) {
        return readPixel(game.worldImage, static_cast<float>(x), static_cast<float>(y));
    }

    static void placeFortress(std::uint8_t p, int x, int y) {
        game.fortressX[p] = x;
        game.fortressY[p] = y;
        buildFortress(p, x, y);
        game.fortressAlive[p] = 1;
    }

    // The impact test for a shot at this world position.
    static void shootAt(int x, int y) { testImpact(x - game.cameraX, y - game.cameraY); }

    static int liveRecords(int p) {
        int live = 0;
        for (int k = 1; k <= 4096; ++k) {
            live += game.fortressPixels[p][k].code != 5 ? 1 : 0;
        }
        return live;
    }

    static ::testing::AssertionResult blackBlock(int left, int top, int right, int bottom) {
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                if (world(x, y) != black) {
                    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") not black";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ImpactTest, CraterIsCentredOnTheFirstGroundPixelNotOnTheShot) {
    // The shot area is (296, 146) to (304, 154); (303, 148) comes first in
    // reading order although (297, 149) lies further left.
    paint(303, 148, green);
    paint(297, 149, green);
    paint(296, 154, green);
    shootAt(300, 150);

    EXPECT_TRUE(blackBlock(299, 144, 307, 152));
    EXPECT_EQ(world(298, 148), maskColour);
    EXPECT_EQ(world(308, 148), maskColour);
    EXPECT_EQ(world(303, 143), maskColour);
    EXPECT_EQ(world(303, 153), maskColour);
    EXPECT_EQ(world(297, 149), green);
    EXPECT_EQ(world(296, 154), green);
    EXPECT_EQ(game.shot.inFlight, 0);
    EXPECT_EQ(game.turnDelay, 100);
}

TEST_F(ImpactTest, GroundIsTestedBeforeTheFortressAndCraterPixelsStayLive) {
    placeFortress(1, 400, 300);
    // The first pixel of the shot area lies on the fortress wall but is green.
    paint(408, 340, green);
    shootAt(412, 344);

    EXPECT_TRUE(blackBlock(404, 336, 412, 344));
    EXPECT_EQ(game.fortressHealth[1], 100);
    EXPECT_EQ(liveRecords(1), 4096 - 1769);
    EXPECT_EQ(game.shot.inFlight, 0);

    // The blackened wall still counts: the next shot there knocks it out.
    game.shot.inFlight = 1;
    shootAt(412, 344);
    EXPECT_EQ(game.fortressHealth[1], 99);
    EXPECT_EQ(liveRecords(1), 4096 - 1769 - 81);
    EXPECT_EQ(game.fortressPixels[1][40 * 64 + 8 + 1].code, 5);
}

TEST_F(ImpactTest, ShotOverTheBlackBackgroundOfAFortressFliesOn) {
    placeFortress(1, 400, 300);
    // Rows 6 to 14, columns 6 to 14 of the picture: background only.
    shootAt(410, 310);

    EXPECT_EQ(game.shot.inFlight, 1);
    EXPECT_EQ(game.turnDelay, 0);
    EXPECT_EQ(game.fortressHealth[1], 100);
    EXPECT_EQ(liveRecords(1), 4096 - 1769);
    for (const Debris& spark : game.debris) {
        EXPECT_EQ(spark.active, 0);
    }
    // The sprite covers the 8 x 8 block from the area's top-left corner.
    int red = 0;
    int grey = 0;
    for (int y = 256; y <= 264; ++y) {
        for (int x = 206; x <= 214; ++x) {
            red += screenPixel(x, y) == 0xFFFF0000 ? 1 : 0;
            grey += screenPixel(x, y) == 0xFF808080 ? 1 : 0;
        }
    }
    EXPECT_EQ(red, 14);
    EXPECT_EQ(grey, 38);
    EXPECT_EQ(screenPixel(206, 256), black);
    EXPECT_EQ(screenPixel(210, 256), 0xFF808080);
}

TEST_F(ImpactTest, ThirtyPixelsKnockedOutCostOneHealthPoint) {
    placeFortress(1, 400, 300);
    // Shot area (396, 358) to (404, 366): the wall's bottom-left corner,
    // columns 0 to 4 and rows 58 to 63, thirty live pixels.
    shootAt(400, 362);

    EXPECT_EQ(liveRecords(1), 4096 - 1769 - 30);
    EXPECT_EQ(game.fortressHealth[1], 99);
    EXPECT_TRUE(blackBlock(400, 358, 404, 363));
    EXPECT_EQ(game.shot.inFlight, 0);
    EXPECT_EQ(game.turnDelay, 100);
}

TEST_F(ImpactTest, FallBelowTwentyFiveEndsTheBattle) {
    for (std::uint8_t loser : {1, 2}) {
        SCOPED_TRACE("fortress " + std::to_string(loser) + " falls");
        freshWorld();
        placeFortress(1, 100, 300);
        placeFortress(2, 900, 350);
        game.cameraX = loser == 1 ? 0 : 640;
        game.cameraY = 120;
        game.fortressHealth[loser] = 25;
        // Every column starts a spark, so the reset has sixteen to switch off.
        for (int column = 0; column < 16; ++column) {
            queueRandomUnits({0.9, 0.5, 0.5});
        }
        shootAt(game.fortressX[loser] + 32, game.fortressY[loser] + 40);

        EXPECT_EQ(game.fortressHealth[loser], 24);
        EXPECT_EQ(game.fortressHealth[3 - loser], 100);
        EXPECT_EQ(game.winnerLabel, loser == 1 ? "2." : "1.");
        EXPECT_EQ(game.fortressAlive[1], 0);
        EXPECT_EQ(game.fortressAlive[2], 0);
        EXPECT_EQ(game.debris[15].x, game.fortressX[loser] + 28 - game.cameraX + 15);
        for (const Debris& spark : game.debris) {
            EXPECT_EQ(spark.active, 0);
        }
        EXPECT_EQ(game.worldImage, nullptr);
        EXPECT_EQ(game.state, GameState::GameOver);
        EXPECT_EQ(game.turnDelay, 100);
        EXPECT_EQ(game.shot.inFlight, 0);
    }
}

TEST_F(ImpactTest, FirstPixelInReadingOrderDecidesBetweenGroundAndFortress) {
    struct Case {
        int greenRow;  // below the fortress's top row
        bool crater;
    };
    // Shot area (394, 350) to (402, 358): its first row meets the wall's
    // columns 0 to 2 after six pixels of open sky.
    for (const Case& c : {Case{50, true}, Case{51, false}}) {
        SCOPED_TRACE("ground at row " + std::to_string(c.greenRow));
        freshWorld();
        placeFortress(1, 400, 300);
        paint(395, 300 + c.greenRow, green);
        shootAt(398, 354);

        EXPECT_EQ(game.fortressHealth[1], c.crater ? 100 : 99);
        EXPECT_EQ(world(395, 300 + c.greenRow), c.crater ? black : green);
        EXPECT_EQ(world(400, 350), c.crater ? 0xFFFFFFFF : black);
        EXPECT_EQ(game.shot.inFlight, 0);
    }
}

}  // namespace
