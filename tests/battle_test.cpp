// A whole game played only with keys: from the title screen through a battle
// to the result screen, back to the title and out.
#include <cstdint>

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// A shot straight down never ends a battle: the column under the launch
// point holds too few rows of live pixels for 76 damaging hits, and once it
// is cleared the shots dig into the ground. Aimed 60 degrees below the
// horizontal, with the power stepped from 2 to 30, every shot lands on a
// fresh part of the own fortress.
constexpr std::int32_t targetAngle = 300;

std::uint8_t targetPower(int shotsFired) {
    return static_cast<std::uint8_t>(2 + 2 * (shotsFired % 15));
}

TEST(ScriptedBattle, FromTitleToResultAndBackOnlyByKeys) {
    restartGame(21);
    runFramePass();
    ASSERT_EQ(game.state, GameState::Title);
    startBattle();
    ASSERT_EQ(game.state, GameState::Battle);

    // Player 1 turns right from 45 through 0 to 300, player 2 left from 135.
    int shotsFired[3] = {0, 0, 0};
    int battleFrames = 0;
    constexpr int frameCap = 30000;
    while (game.state == GameState::Battle && battleFrames < frameCap) {
        const int p = game.currentPlayer;
        const std::uint8_t power = targetPower(shotsFired[p]);
        releaseAllKeys();
        if (game.aimAngle[p] != targetAngle) {
            setKeyHeld(p == 1 ? key::right : key::left, true);
        }
        if (game.aimPower[p] != power) {
            setKeyHeld(game.aimPower[p] < power ? key::up : key::down, true);
        }
        // Enter waits for the aim to be complete; it is then held through
        // the turn delay and fires as soon as the turn comes round.
        setKeyHeld(key::enter, game.aimAngle[p] == targetAngle && game.aimPower[p] == power);

        const std::uint8_t healthBefore[3] = {0, game.fortressHealth[1], game.fortressHealth[2]};
        const bool wasFlying = game.shot.inFlight == 1;
        runFramePass();
        ++battleFrames;
        if (!wasFlying && game.shot.inFlight == 1) {
            ASSERT_EQ(game.shot.angle, targetAngle);
            ASSERT_EQ(game.shot.power, power);
            ++shotsFired[p];
        }
        ASSERT_LE(game.fortressHealth[1], healthBefore[1]);
        ASSERT_LE(game.fortressHealth[2], healthBefore[2]);
    }
    ASSERT_EQ(game.state, GameState::GameOver)
        << "no fortress fell within " << frameCap << " frames; healths "
        << int{game.fortressHealth[1]} << " and " << int{game.fortressHealth[2]};

    // Each player hit only the own fortress, so fortress 1, hit first in
    // every round, falls first.
    EXPECT_EQ(game.fortressHealth[1], 24);
    EXPECT_EQ(game.fortressHealth[2], 25);
    EXPECT_EQ(shotsFired[1], 76);
    EXPECT_EQ(game.winnerLabel, "2.");
    EXPECT_EQ(game.worldImage, nullptr);
    EXPECT_EQ(game.fortressAlive[1] + game.fortressAlive[2], 0);
    for (const Debris& spark : game.debris) {
        EXPECT_EQ(spark.active, 0);
    }

    // The result screen ignores Esc; Q takes the game back to the title.
    runFramePass();
    ASSERT_EQ(game.state, GameState::GameOver);
    holdOnly({key::q, key::escape});
    runFramePass();
    ASSERT_EQ(game.state, GameState::Title);

    // A new battle starts afresh, although the last one ended mid-delay.
    startBattle();
    ASSERT_EQ(game.state, GameState::Battle);
    EXPECT_EQ(game.currentPlayer, 1);
    EXPECT_EQ(game.turnDelay, 0);
    EXPECT_EQ(game.fortressHealth[1], 100);
    holdOnly({key::q});
    runFramePass();
    ASSERT_EQ(game.state, GameState::Title);

    holdOnly({key::escape});
    runFramePass();
    EXPECT_EQ(game.state, GameState::Exit);
    runFramePass();
    EXPECT_EQ(game.state, GameState::Exit);
}

}  // namespace
