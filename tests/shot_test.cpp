// Firing and the flight of the shot: the launch, the flight time, the edges
// of the world, and when Enter may and may not start a shot.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "ballistics/shot.h"
#include "test_support.h"

namespace {

constexpr Colour black = 0xFF000000;

// The shot sprite as the player sees it: grey ring, red core, black corners.
constexpr std::array<const char*, 8> shotPicture{
    "55777755", "57777775", "77777777", "77777777", "77222227", "77222227", "57222275", "55777755",
};

Colour colourOfCode(char code) {
    switch (code) {
        case '2':
            return 0xFFFF0000;
        case '5':
            return black;
        default:
            return 0xFF808080;
    }
}

// The flight time after n frames: every step is taken in double and narrowed.
float timeAfter(int advances) {
    float time = 0.0f;
    for (int i = 0; i < advances; ++i) {
        time = static_cast<float>(static_cast<double>(time) + 0.05);
    }
    return time;
}

// Runs frames until the flight ends; false if it never does.
bool flyUntilTheShotEnds(int frameCap = 300) {
    for (int frame = 0; frame < frameCap; ++frame) {
        if (game.shot.inFlight == 0) {
            return true;
        }
        runFramePass();
    }
    return game.shot.inFlight == 0;
}

class ShotFlightTest : public ::testing::Test {
protected:
    void SetUp() override {
        restartGame(11);
        startBattle();
    }
};

TEST_F(ShotFlightTest, FiringFrameShowsTheShotAtTheLaunchPoint) {
    const int launchX = game.fortressX[1] + 32;
    const int launchY = game.fortressY[1] - 16;
    holdOnly({key::enter});
    runFramePass();

    ASSERT_EQ(game.shot.inFlight, 1);
    EXPECT_EQ(game.shot.originX, launchX);
    EXPECT_EQ(game.shot.originY, launchY);
    EXPECT_EQ(game.shot.angle, 45);
    EXPECT_EQ(game.shot.power, 10);
    EXPECT_EQ(game.shot.time, 0.05f);
    EXPECT_EQ(game.cameraX, std::clamp(launchX - 320, 0, 640));
    EXPECT_EQ(game.cameraY, std::clamp(launchY - 240, 0, 120));

    // The impact test found nothing there and drew the sprite around it.
    const int left = launchX - game.cameraX - 4;
    const int top = launchY - game.cameraY - 4;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            ASSERT_EQ(screenPixel(left + column, top + row), colourOfCode(shotPicture[row][column]))
                << "cell " << row << ", " << column;
        }
    }
}

TEST_F(ShotFlightTest, FlightTimeDriftsAndEnterCannotRestartAFlyingShot) {
    // Straight up from the middle of the sky: it stays aloft for far longer.
    game.shot = {1, 100, 640, 200, 90, 0.0f};
    holdOnly({key::enter});
    runFrames(20);
    ASSERT_EQ(game.shot.inFlight, 1);
    EXPECT_EQ(game.shot.time, timeAfter(20));
    EXPECT_GT(game.shot.time, 1.0f);

    runFrames(20);
    ASSERT_EQ(game.shot.inFlight, 1);
    EXPECT_EQ(game.shot.time, timeAfter(40));
    EXPECT_LT(game.shot.time, 2.0f);
    EXPECT_EQ(game.shot.originX, 640);
    EXPECT_EQ(game.shot.originY, 200);
}

TEST_F(ShotFlightTest, StraightDownHitsTheOwnFortress) {
    game.aimAngle[1] = 270;
    holdOnly({key::enter});
    runFramePass();
    releaseAllKeys();
    ASSERT_TRUE(flyUntilTheShotEnds());

    EXPECT_EQ(game.fortressHealth[1], 99);
    EXPECT_EQ(game.fortressHealth[2], 100);
    EXPECT_EQ(game.state, GameState::Battle);
    // The top of the flag pole, row 0 column 31, was right under the shot.
    const int poleX = game.fortressX[1] + 31;
    const int poleY = game.fortressY[1];
    EXPECT_EQ(game.fortressPixels[1][32].code, 5);
    EXPECT_EQ(readPixel(game.worldImage, static_cast<float>(poleX), static_cast<float>(poleY)),
              black);
}

TEST_F(ShotFlightTest, EnterHeldThroughTheDelayFiresTheNextPlayersShotAtOnce) {
    game.aimAngle[1] = 270;
    holdOnly({key::enter});
    runFramePass();
    ASSERT_EQ(game.shot.inFlight, 1);
    ASSERT_TRUE(flyUntilTheShotEnds());
    ASSERT_EQ(game.turnDelay, 99);

    // Frames 2 to 100 of the delay: Enter still held, nothing starts; the
    // turn passes at the end of the last of them.
    for (int frame = 2; frame <= 100; ++frame) {
        runFramePass();
        ASSERT_EQ(game.shot.inFlight, 0) << "delay frame " << frame;
    }
    ASSERT_EQ(game.turnDelay, 0);
    ASSERT_EQ(game.currentPlayer, 2);
    EXPECT_EQ(game.shot.originX, game.fortressX[1] + 32);

    runFramePass();
    ASSERT_EQ(game.shot.inFlight, 1);
    EXPECT_EQ(game.shot.originX, game.fortressX[2] + 32);
    EXPECT_EQ(game.shot.originY, game.fortressY[2] - 16);
    EXPECT_EQ(game.shot.angle, 135);
    EXPECT_EQ(game.shot.power, 10);
    EXPECT_EQ(game.shot.time, 0.05f);
}

// Q leaves the battle and releases its world picture before the fire test
// and the flight step run in the same frame: neither may act in that frame.
// A flight step would show in the camera, the flight time or a sprite on the
// cleared screen; under AddressSanitizer a touch of the freed picture fails.
TEST_F(ShotFlightTest, QWithEnterLeavesWithoutFiringOrFlying) {
    for (bool midFlight : {false, true}) {
        SCOPED_TRACE(midFlight ? "Q during a flight" : "Q while aiming");
        restartGame(11);
        startBattle();
        if (midFlight) {
            game.aimAngle[1] = 90;
            holdOnly({key::enter});
            runFrames(3);
            ASSERT_EQ(game.shot.inFlight, 1);
        }
        const ShotState shotBefore = game.shot;
        const int cameraX = game.cameraX;
        const int cameraY = game.cameraY;

        holdOnly({key::q, key::enter});
        runFramePass();

        EXPECT_EQ(game.state, GameState::Title);
        EXPECT_EQ(game.worldImage, nullptr);
        EXPECT_EQ(game.shot.inFlight, 0);
        EXPECT_EQ(game.shot.time, shotBefore.time);
        EXPECT_EQ(game.shot.originX, shotBefore.originX);
        EXPECT_EQ(game.cameraX, cameraX);
        EXPECT_EQ(game.cameraY, cameraY);
        // Only the status bar and the help line remain on the cleared screen.
        for (int y = 40; y < 450; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                ASSERT_EQ(screenPixel(x, y), black) << x << ", " << y;
            }
        }
        releaseAllKeys();
        runFramePass();
        EXPECT_EQ(game.state, GameState::Title);
    }
}

// The edges of the world, on an empty world picture where nothing can be hit:
// a shot inside flies on, a shot outside ends with the turn delay.
TEST(ShotFlightEdges, LeftEdgeAtOneRightEdgeAtTwelveEightyBottomAtSixHundredNoTop) {
    struct EdgeCase {
        const char* name;
        ShotState shot;
        bool inside;
    };
    const EdgeCase cases[] = {
        {"x = 1.0", {1, 0, 1, 300, 0, 0.0f}, true},
        {"x = 0.99", {1, 99, 0, 300, 0, 0.01f}, false},
        {"x = 1280.0", {1, 0, 1280, 300, 0, 0.0f}, true},
        {"x = 1280.05", {1, 1, 1280, 300, 0, 0.05f}, false},
        {"y = 600.0", {1, 0, 640, 600, 0, 0.0f}, true},
        {"y = 600.06", {1, 1, 640, 600, 270, 0.05f}, false},
        {"y = -1", {1, 0, 640, -1, 0, 0.0f}, true},
        {"y = -5000", {1, 0, 640, -5000, 0, 0.0f}, true},
    };
    restartGame();
    game.state = GameState::Battle;
    game.worldImage = createImage(1280, 600);
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        game.shot = c.shot;
        game.turnDelay = 0;
        advanceShot();
        EXPECT_EQ(game.shot.inFlight, c.inside ? 1 : 0);
        EXPECT_EQ(game.turnDelay, c.inside ? 0 : 100);
    }
}

}  // namespace
