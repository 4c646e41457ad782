// Battlefield generation driven by chosen random values: every draw is queued in
// the order the set-up takes them, so each column's ground can be predicted.
#include "battlefield/battlefield.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "battlefield/sprites.h"
#include "test_support.h"

namespace {

constexpr Colour green = 0xFF00FF00;
constexpr int skyRows = 301;  // stars may fall on rows 0 to 300
constexpr double sentinel = 0.8125;

// The draw that makes floor(r * range) come out as n.
double unitFor(int n, double range) {
    return (n + 0.5) / range;
}

struct Placement {
    int x1, y1, x2, y2;
};

void queuePlacement(const Placement& p) {
    queueRandomUnits({unitFor(p.x1, 640), unitFor(p.y1 - 300, 150), unitFor(p.x2 - 576, 640),
                      unitFor(p.y2 - 300, 150)});
}

struct SkyDraw {
    int x, y;
    double r;
};

// One draw per sky pixel, x outer and y inner; 0.0 makes no star.
void queueSky(std::initializer_list<SkyDraw> draws = {}) {
    std::vector<double> sky(1280 * skyRows, 0.0);
    for (const SkyDraw& d : draws) {
        sky.at(static_cast<std::size_t>(d.x * skyRows + d.y)) = d.r;
    }
    for (double r : sky) {
        queueRandomUnits({r});
    }
}

struct Run {
    int base, length;
};

// The first run's length is drawn from 1 up, every later one from 10 up.
void queueTerrain(Run first, std::initializer_list<Run> later) {
    queueRandomUnits({unitFor(first.base - 5, 300), unitFor(first.length - 1, 200)});
    for (const Run& run : later) {
        queueRandomUnits({unitFor(run.base - 5, 300), unitFor(run.length - 10, 200)});
    }
}

// Green pixels counted up from the bottom row.
int groundHeight(int x) {
    int height = 0;
    while (height < 600 && readPixel(game.worldImage, static_cast<float>(x),
                                     static_cast<float>(599 - height)) == green) {
        ++height;
    }
    return height;
}

std::vector<int> groundHeights(int firstColumn, int lastColumn) {
    std::vector<int> heights;
    for (int x = firstColumn; x <= lastColumn; ++x) {
        heights.push_back(groundHeight(x));
    }
    return heights;
}

Colour worldPixel(int x, int y) {
    return readPixel(game.worldImage, static_cast<float>(x), static_cast<float>(y));
}

class BattlefieldTest : public ::testing::Test {
protected:
    void SetUp() override { restartGame(); }
    void TearDown() override {
        destroyImage(game.worldImage);
        game.worldImage = nullptr;
        clearQueuedRandomUnits();
        releaseAllKeys();
    }
};

TEST_F(BattlefieldTest, FortressesExactly640ApartAreDrawnAgain) {
    queuePlacement({0, 310, 640, 320});
    queuePlacement({0, 330, 641, 449});
    setUpBattlefield();
    EXPECT_EQ(game.fortressX[1], 0);
    EXPECT_EQ(game.fortressY[1], 330);
    EXPECT_EQ(game.fortressX[2], 641);
    EXPECT_EQ(game.fortressY[2], 449);
    EXPECT_EQ(game.cameraX, 0);
    EXPECT_EQ(game.cameraY, 90);
    EXPECT_EQ(game.state, GameState::Battle);
}

// Fortress 1 at column 0 and fortress 2 at 1151: both flat strips run into the
// world's edges. The hills between them are fully planned, so the set-up must
// take exactly the queued draws.
TEST_F(BattlefieldTest, HillRunsAndFlatStripsAtTheWorldsEdges) {
    queuePlacement({0, 300, 1151, 449});
    queueSky();
    // A first run of length 1 ends at once: its base of 250 is never seen.
    queueTerrain({250, 1},
                 {{50, 10}, {120, 7}, {60, 209}, {60, 209}, {60, 209}, {60, 209}, {70, 105}});
    queueRandomUnits({sentinel});
    setUpBattlefield();
    EXPECT_EQ(randomUnit(), sentinel) << "the set-up took too few or too many draws";

    EXPECT_EQ(groundHeights(0, 128), std::vector<int>(129, 600 - 364));
    EXPECT_EQ(groundHeights(129, 138), (std::vector<int>{51, 52, 53, 54, 55, 54, 53, 52, 51, 50}));
    EXPECT_EQ(groundHeights(139, 145), (std::vector<int>{121, 122, 123, 124, 123, 122, 121}));
    EXPECT_EQ(groundHeight(146), 61) << "a new run starts after 7 columns";
    EXPECT_EQ(groundHeights(1085, 1086), (std::vector<int>{72, 71}));
    EXPECT_EQ(groundHeights(1087, 1279), std::vector<int>(193, 600 - 513));

    // The ground stops right under each picture; the pictures are untouched.
    EXPECT_EQ(worldPixel(0, 363), colourCodes[fortressSprite1.at(63, 0)]);
    EXPECT_EQ(worldPixel(1151 + 31, 449 + 63), colourCodes[fortressSprite2.at(63, 31)]);
}

// Fortress 2's strip (640 to 832) splits a run of 30 columns: it goes on after
// the strip from the height and step it had reached.
TEST_F(BattlefieldTest, FirstRunOfFourAndARunThatResumesAfterAFlatStrip) {
    queuePlacement({63, 300, 704, 400});
    queueSky();
    queueTerrain({100, 4}, {{40, 209}, {40, 209}, {200, 30}, {80, 209}, {90, 209}, {60, 26}});
    queueRandomUnits({sentinel});
    setUpBattlefield();
    EXPECT_EQ(randomUnit(), sentinel) << "the set-up took too few or too many draws";

    EXPECT_EQ(groundHeight(0), 600 - 364) << "fortress 1's strip starts at column 0";
    EXPECT_EQ(groundHeight(191), 600 - 364);
    EXPECT_EQ(groundHeights(192, 195), (std::vector<int>{101, 100, 99, 41}));
    EXPECT_EQ(groundHeights(637, 641), (std::vector<int>{205, 204, 203, 136, 136}));
    EXPECT_EQ(groundHeights(831, 836), (std::vector<int>{136, 136, 202, 201, 200, 81}));
}

TEST_F(BattlefieldTest, StarsFallOnFortressTopsAndTheGroundCoversThem) {
    queuePlacement({0, 300, 1151, 300});
    queueSky({{26, 300, 0.1005},     // fortress 1's red flag tip
              {1182, 300, 0.1005},   // fortress 2's grey pole
              {700, 0, 0.1005},      // open sky
              {701, 0, 0.101},       // floor 101: no star
              {702, 0, 0.0999},      // floor 99: no star
              {129, 300, 0.1005},    // just above the ground
              {130, 300, 0.1005}});  // on the ground's top row: covered
    queueTerrain({5, 1}, {{298, 7}});
    setUpBattlefield();

    EXPECT_EQ(worldPixel(26, 300), white);
    const FortressPixel flagTip = game.fortressPixels[1][27];
    EXPECT_EQ(flagTip.x, 26);
    EXPECT_EQ(flagTip.y, 300);
    EXPECT_EQ(flagTip.code, 2);
    EXPECT_EQ(worldPixel(1182, 300), white);
    EXPECT_EQ(game.fortressPixels[2][32].code, 7);

    EXPECT_EQ(groundHeights(129, 130), (std::vector<int>{299, 300}));
    EXPECT_EQ(worldPixel(130, 300), green);

    std::vector<std::pair<int, int>> stars;
    for (int x = 0; x < 1280; ++x) {
        const bool underFortress = x < 64 || (x >= 1151 && x < 1215);
        for (int y = 0; y < skyRows && !underFortress; ++y) {
            if (worldPixel(x, y) == white) {
                stars.emplace_back(x, y);
            }
        }
    }
    EXPECT_EQ(stars, (std::vector<std::pair<int, int>>{{129, 300}, {700, 0}}));
}

TEST_F(BattlefieldTest, ASecondBattleStartsAfresh) {
    startBattle();
    holdOnly({key::q});
    runFramePass();
    ASSERT_EQ(game.state, GameState::Title);

    // Leave every field the set-up owns in a state the new battle must not show.
    game.currentPlayer = 2;
    game.turnDelay = 55;
    game.cameraX = 7;
    game.cameraY = 3;
    for (int p = 1; p <= 2; ++p) {
        game.aimAngle[p] = 300;
        game.aimPower[p] = 77;
        game.fortressHealth[p] = 20;
        game.fortressMaxHealth[p] = 1;
        game.fortressWidth[p] = 5;
        game.fortressHeight[p] = 5;
        for (FortressPixel& record : game.fortressPixels[p]) {
            record = {-1, -1, -1};
        }
    }
    game.shot.inFlight = 1;
    game.language = Language::English;
    game.winnerLabel = "2.";

    // Below row 300 no star can touch the pictures.
    queuePlacement({10, 301, 1000, 320});
    startBattle();
    EXPECT_EQ(game.state, GameState::Battle);
    EXPECT_EQ(game.currentPlayer, 1);
    EXPECT_EQ(game.turnDelay, 0);
    EXPECT_EQ(game.cameraX, 0);
    EXPECT_EQ(game.cameraY, 61);
    EXPECT_EQ(game.shot.inFlight, 0);
    EXPECT_EQ(game.aimAngle[1], 45);
    EXPECT_EQ(game.aimAngle[2], 135);
    EXPECT_EQ(game.language, Language::English);
    EXPECT_EQ(game.winnerLabel, "2.");

    const Sprite* sprites[] = {nullptr, &fortressSprite1, &fortressSprite2};
    for (int p = 1; p <= 2; ++p) {
        SCOPED_TRACE(testing::Message() << "fortress " << p);
        EXPECT_EQ(game.aimPower[p], 10);
        EXPECT_EQ(game.fortressHealth[p], 100);
        EXPECT_EQ(game.fortressMaxHealth[p], 100);
        EXPECT_EQ(game.fortressAlive[p], 1);
        EXPECT_EQ(game.fortressWidth[p], 64);
        EXPECT_EQ(game.fortressHeight[p], 64);
        int wrong = 0;
        for (int n = 1; n <= 4096; ++n) {
            const int row = (n - 1) / 64;
            const int column = (n - 1) % 64;
            const int x = game.fortressX[p] + column;
            const int y = game.fortressY[p] + row;
            const ColourCode code = sprites[p]->at(row, column);
            const FortressPixel& record = game.fortressPixels[p][n];
            const bool right = record.x == x && record.y == y && record.code == code &&
                               worldPixel(x, y) == colourCodes[code];
            if (!right && wrong++ < 5) {
                ADD_FAILURE() << "record " << n << " is (" << record.x << ", " << record.y << ", "
                              << record.code << ")";
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
