// Building a battlefield, against the bare floor of its work: the random
// draws it takes and one fill of the world picture.
#include <benchmark/benchmark.h>

#include "battlefield/camera.h"
#include "bench_support.h"

namespace {

// 4 placement draws, 1280 x 301 star draws, and a handful for the hills.
constexpr int drawsPerBattlefield = 385'280;

void BM_SetUpBattlefield(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        startSeededBattle(seed++);
        benchmark::DoNotOptimize(game.worldImage);
    }
    destroyImage(game.worldImage);
    game.worldImage = nullptr;
}
BENCHMARK(BM_SetUpBattlefield)->Unit(benchmark::kMillisecond);

void BM_GenerationFloor(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        seedRandomWith(seed++);
        double sum = 0.0;
        for (int i = 0; i < drawsPerBattlefield; ++i) {
            sum += randomUnit();
        }
        benchmark::DoNotOptimize(sum);
        Image* world = createImage(worldWidth, worldHeight);
        benchmark::DoNotOptimize(world);
        destroyImage(world);
    }
}
BENCHMARK(BM_GenerationFloor)->Unit(benchmark::kMillisecond);

}  // namespace
