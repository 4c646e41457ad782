// The frame loop: start-up, one state per pass, and the way out.
#include "game/main_loop.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

TEST(MainLoop, StartsOnAHungarianTitleScreenInWhite) {
    restartGame();
    EXPECT_EQ(game.state, GameState::Title);
    EXPECT_EQ(game.language, Language::Hungarian);
    EXPECT_EQ(game.worldImage, nullptr);
    runFramePass();
    EXPECT_EQ(game.state, GameState::Title);
    EXPECT_EQ(screenPixel(0, 0), screenBackground);
    bool whiteTitle = false;
    for (int x = 288; x < 288 + 64; ++x) {
        for (int y = 5; y < 13; ++y) {
            whiteTitle = whiteTitle || screenPixel(x, y) == white;
        }
    }
    EXPECT_TRUE(whiteTitle);
}

TEST(MainLoop, AStateSetMidFrameTakesEffectNextPass) {
    restartGame();
    startBattle();
    // The Space frame built the battle but showed only black.
    EXPECT_EQ(game.state, GameState::Battle);
    EXPECT_NE(game.worldImage, nullptr);

    // Q ends the battle in the middle of a frame; the frame still runs to its
    // end, so the status bar and help line are drawn on black.
    holdOnly({key::q});
    runFramePass();
    EXPECT_EQ(game.state, GameState::Title);
    EXPECT_EQ(game.worldImage, nullptr);
    EXPECT_EQ(screenPixel(2, 2), 0xFFFF0000u) << "player 1's health bar";
    EXPECT_EQ(screenPixel(638, 12), 0xFF0000FFu) << "player 2's health bar";
    releaseAllKeys();
    runFramePass();
    EXPECT_EQ(game.state, GameState::Title);
}

TEST(MainLoop, EscIsIgnoredOutsideTheTitleScreen) {
    restartGame();
    startBattle();
    holdOnly({key::escape});
    runFrames(3);
    EXPECT_EQ(game.state, GameState::Battle);
    game.state = GameState::GameOver;
    game.winnerLabel = "1.";
    runFrames(3);
    EXPECT_EQ(game.state, GameState::GameOver);
    releaseAllKeys();
}

TEST(MainLoop, EscOnTheTitleEndsRunGameWithStatusZero) {
    restartGame();
    holdOnly({key::escape});
    EXPECT_EQ(runGame(), 0);
    EXPECT_EQ(game.state, GameState::Exit);
    releaseAllKeys();
}

TEST(MainLoop, AnExitStatePassDrawsNothing) {
    restartGame();
    setColour(0xFF00FF00);
    drawLine(0, 0, 5, 0);
    game.state = GameState::Exit;
    runFramePass();
    EXPECT_EQ(screenPixel(5, 0), 0xFF00FF00u);
}

}  // namespace
