// The contact test in its worst case, against the search done the long way,
// and one whole battle frame with a shot in flight.
#include <benchmark/benchmark.h>

#include "ballistics/impact.h"
#include "battlefield/camera.h"
#include "bench_support.h"

namespace {

constexpr Colour green = 0xFF00FF00;

// A shot area of black background inside fortress 1's box: nothing is ground
// and no live pixel lies under the shot, so every one of its 81 pixels sends
// the scan into the fortress search and the shot flies on.
constexpr std::int32_t worstCaseScreenX = 100 + 6;
constexpr std::int32_t worstCaseScreenY = 300 + 4;

void setUpWorstCase() {
    destroyImage(game.worldImage);
    game = GameSession{};
    game.state = GameState::Battle;
    game.worldImage = createImage(worldWidth, worldHeight);
    game.fortressX[1] = 100;
    game.fortressY[1] = 300;
    game.fortressX[2] = 900;
    game.fortressY[2] = 300;
    buildFortress(1, game.fortressX[1], game.fortressY[1]);
    buildFortress(2, game.fortressX[2], game.fortressY[2]);
    game.fortressAlive[1] = 1;
    game.fortressAlive[2] = 1;
    game.cameraX = 0;
    game.cameraY = 0;
    game.shot.inFlight = 1;
}

// The search as the rules first describe it: for every scanned pixel inside a
// fortress box, every record compared with every pixel of the shot area.
bool literalSearchFindsAnything(int player, int left, int top, int right, int bottom) {
    bool found = false;
    const int recordCount = game.fortressWidth[player] * game.fortressHeight[player];
    for (int j = top; j <= bottom; ++j) {
        for (int i = left; i <= right; ++i) {
            for (int k = 1; k <= recordCount; ++k) {
                const FortressPixel& record = game.fortressPixels[player][k];
                if (record.x == game.cameraX + i && record.y == game.cameraY + j &&
                    record.code != 5) {
                    found = true;
                }
            }
        }
    }
    return found;
}

bool literalScan(std::int32_t screenX, std::int32_t screenY) {
    const int left = screenX - 4;
    const int top = screenY - 4;
    const int right = screenX + 4;
    const int bottom = screenY + 4;
    for (int j = top; j <= bottom; ++j) {
        for (int i = left; i <= right; ++i) {
            const int x = game.cameraX + i;
            const int y = game.cameraY + j;
            if (readPixel(game.worldImage, x, y) == green) {
                return true;
            }
            for (int player = 1; player <= 2; ++player) {
                const bool inBox = game.fortressX[player] <= x &&
                                   x <= game.fortressX[player] + game.fortressWidth[player] &&
                                   game.fortressY[player] <= y &&
                                   y <= game.fortressY[player] + game.fortressHeight[player];
                if (inBox) {
                    if (literalSearchFindsAnything(player, left, top, right, bottom)) {
                        return true;
                    }
                    break;
                }
            }
        }
    }
    return false;
}

void BM_TestImpactWorstCase(benchmark::State& state) {
    setUpWorstCase();
    for (auto _ : state) {
        testImpact(worstCaseScreenX, worstCaseScreenY);
        benchmark::ClobberMemory();
    }
    if (game.shot.inFlight != 1) {
        state.SkipWithError("the worst case must find no contact");
    }
}
BENCHMARK(BM_TestImpactWorstCase);

void BM_LiteralSearchWorstCase(benchmark::State& state) {
    setUpWorstCase();
    for (auto _ : state) {
        benchmark::DoNotOptimize(literalScan(worstCaseScreenX, worstCaseScreenY));
    }
}
BENCHMARK(BM_LiteralSearchWorstCase)->Unit(benchmark::kMillisecond);

// A whole battle frame, pause excluded (the headless pause returns at once),
// with the shot high over fortress 1 so that it stays in flight.
void BM_BattleFrameWithShotInFlight(benchmark::State& state) {
    startSeededBattle(21);
    for (auto _ : state) {
        game.shot = {1, 100, game.fortressX[1] + 32, game.fortressY[1] - 16, 90, 1.0f};
        runFramePass();
        benchmark::ClobberMemory();
    }
    if (game.state != GameState::Battle) {
        state.SkipWithError("the battle must go on");
    }
}
BENCHMARK(BM_BattleFrameWithShotInFlight);

}  // namespace
