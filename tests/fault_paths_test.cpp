// Fault paths: a battle whose world picture could not be created (out of
// memory) must still be playable to its end without touching the missing
// picture, and a seeded game must replay frame for frame.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// The world's green as blitAdd puts it on the screen (each byte less one).
constexpr Colour groundOnScreen = 0xFF00FE00;

std::uint64_t pixelHash(const Image* image) {
    const Colour* pixels = imagePixels(image);
    const int count = imageWidth(image) * imageHeight(image);
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (int i = 0; i < count; ++i) {
        hash = (hash ^ pixels[i]) * 1099511628211ull;
    }
    return hash;
}

int screenPixelsOf(Colour colour) {
    const Colour* pixels = imagePixels(screenImage());
    int count = 0;
    for (int i = 0; i < screenWidth * screenHeight; ++i) {
        count += pixels[i] == colour;
    }
    return count;
}

bool anySparkActive() {
    for (const Debris& spark : game.debris) {
        if (spark.active != 0) {
            return true;
        }
    }
    return false;
}

// Turns the current player's aim to this angle and power with the arrow keys,
// fires with Enter and plays on until the shot has ended. Returns whether it
// ended within the frame cap.
bool fireWithKeys(std::int32_t angle, std::uint8_t power) {
    const int p = game.currentPlayer;
    for (int frame = 0; frame < 500 && game.state == GameState::Battle; ++frame) {
        releaseAllKeys();
        if (game.aimAngle[p] != angle) {
            setKeyHeld((angle - game.aimAngle[p] + 361) % 361 <= 180 ? key::left : key::right,
                       true);
        }
        if (game.aimPower[p] != power) {
            setKeyHeld(game.aimPower[p] < power ? key::up : key::down, true);
        }
        if (game.aimAngle[p] == angle && game.aimPower[p] == power) {
            holdOnly({key::enter});
            runFramePass();
            releaseAllKeys();
            break;
        }
        runFramePass();
    }
    for (int frame = 0; frame < 2000 && game.shot.inFlight == 1; ++frame) {
        runFramePass();
    }
    return game.shot.inFlight == 0;
}

class MissingWorldPicture : public ::testing::Test {
protected:
    void SetUp() override {
        restartGame(7);
        setImageCreationFailing(true);
        startBattle();
        ASSERT_EQ(game.state, GameState::Battle);
        ASSERT_EQ(game.worldImage, nullptr);
    }
    void TearDown() override { setImageCreationFailing(false); }
};

TEST_F(MissingWorldPicture, BattleFramesShowNoWorldButAimingAndTheStatusBar) {
    holdOnly({key::left, key::up});
    runFrames(10);
    EXPECT_EQ(game.aimAngle[1], 55);
    EXPECT_EQ(game.aimPower[1], 20);
    EXPECT_EQ(screenPixelsOf(groundOnScreen), 0) << "no ground can show without a picture";
    EXPECT_GT(screenPixelsOf(0xFFFF0000), 0) << "barrel and health bar are still drawn";
    EXPECT_GT(screenPixelsOf(0xFFFFFF00), 0) << "power line is still drawn";
}

TEST_F(MissingWorldPicture, ShotsStillHitFortressesButFindNoGround) {
    // Straight down onto the own fortress: the pixel records still know it.
    ASSERT_TRUE(fireWithKeys(270, 10));
    EXPECT_EQ(game.fortressHealth[1], 99);
    EXPECT_EQ(game.turnDelay, 99);
    EXPECT_TRUE(anySparkActive());
    EXPECT_EQ(game.worldImage, nullptr);

    // Player 2's flat shot to the left would end in the ground; with no
    // ground to find it falls out of the bottom of the world instead.
    releaseAllKeys();
    runFrames(game.turnDelay);
    ASSERT_EQ(game.currentPlayer, 2);
    ASSERT_TRUE(fireWithKeys(180, 30));
    EXPECT_EQ(game.fortressHealth[1], 99);
    EXPECT_EQ(game.fortressHealth[2], 100);
    EXPECT_EQ(game.turnDelay, 99);
    EXPECT_GT(game.shot.time, 1.0f);
    EXPECT_EQ(game.state, GameState::Battle);
}

TEST_F(MissingWorldPicture, QuitWithEnterHeldLeavesCleanly) {
    holdOnly({key::enter});
    runFrames(3);
    ASSERT_EQ(game.shot.inFlight, 1);
    holdOnly({key::q, key::enter});
    runFramePass();
    EXPECT_EQ(game.state, GameState::Title);
    EXPECT_EQ(game.shot.inFlight, 0);
    EXPECT_EQ(game.worldImage, nullptr);
    EXPECT_FALSE(anySparkActive());
}

TEST_F(MissingWorldPicture, VictoryThenTheNextBattleGetsItsPicture) {
    // One hit from falling.
    game.fortressHealth[1] = 25;
    ASSERT_TRUE(fireWithKeys(270, 10));
    EXPECT_EQ(game.state, GameState::GameOver);
    EXPECT_EQ(game.winnerLabel, "2.");
    EXPECT_EQ(game.fortressHealth[1], 24);
    EXPECT_EQ(game.worldImage, nullptr);
    EXPECT_FALSE(anySparkActive());
    runFrames(2);

    holdOnly({key::q});
    runFramePass();
    ASSERT_EQ(game.state, GameState::Title);
    setImageCreationFailing(false);
    startBattle();
    ASSERT_EQ(game.state, GameState::Battle);
    ASSERT_NE(game.worldImage, nullptr);
    EXPECT_EQ(imageWidth(game.worldImage), 1280);
    EXPECT_EQ(imageHeight(game.worldImage), 600);
    EXPECT_EQ(game.fortressHealth[1], 100);
    runFramePass();
    EXPECT_GT(screenPixelsOf(groundOnScreen), 0);
}

// One scripted game: title frames with a language switch, a battle with
// aiming, two shots, the turn passing and Q, then a second battle. Returns
// the hash of every frame shown.
std::vector<std::uint64_t> playScriptedGame(std::uint32_t seed, bool pictureFailing) {
    struct Step {
        std::initializer_list<int> keys;
        int frames;
    };
    const Step script[] = {
        {{}, 3},
        {{key::l}, 2},
        {{}, 1},
        {{key::space}, 1},
        {{key::left, key::up}, 40},
        {{key::enter}, 1},
        {{}, 160},
        {{key::right, key::up}, 30},
        {{key::enter}, 1},
        {{}, 160},
        {{key::q}, 1},
        {{}, 2},
        {{key::space}, 1},
        {{key::enter}, 1},
        {{}, 60},
    };
    restartGame(seed);
    setImageCreationFailing(pictureFailing);
    std::vector<std::uint64_t> hashes;
    for (const Step& step : script) {
        holdOnly(step.keys);
        for (int i = 0; i < step.frames; ++i) {
            runFramePass();
            hashes.push_back(pixelHash(screenImage()));
        }
    }
    setImageCreationFailing(false);
    return hashes;
}

TEST(SeededGame, TheSameSeedShowsTheSameFrames) {
    for (bool pictureFailing : {false, true}) {
        const std::vector<std::uint64_t> first = playScriptedGame(11, pictureFailing);
        const std::vector<std::uint64_t> second = playScriptedGame(11, pictureFailing);
        ASSERT_EQ(first.size(), second.size());
        for (std::size_t frame = 0; frame < first.size(); ++frame) {
            ASSERT_EQ(first[frame], second[frame])
                << "frame " << frame << (pictureFailing ? " without" : " with") << " a picture";
        }
    }
}

TEST(SeededGame, AnotherSeedBuildsAnotherBattlefield) {
    std::uint64_t worldHashes[2] = {};
    std::int32_t fortressX[2] = {};
    const std::uint32_t seeds[2] = {11, 12};
    for (int i = 0; i < 2; ++i) {
        restartGame(seeds[i]);
        startBattle();
        ASSERT_NE(game.worldImage, nullptr);
        worldHashes[i] = pixelHash(game.worldImage);
        fortressX[i] = game.fortressX[1];
    }
    EXPECT_NE(worldHashes[0], worldHashes[1]);
    EXPECT_NE(fortressX[0], fortressX[1]);
    EXPECT_NE(playScriptedGame(11, false), playScriptedGame(12, false));
}

}  // namespace
