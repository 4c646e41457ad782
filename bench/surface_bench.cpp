// The fixed cost of every battle frame: clearing the screen and adding the
// world view onto it, against a plain copy of the same number of bytes.
#include <benchmark/benchmark.h>

#include "battlefield/camera.h"
#include "bench_support.h"

namespace {

void BM_MemcpyOneFrame(benchmark::State& state) {
    const std::vector<Colour> source = frameSizedBuffer();
    std::vector<Colour> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size() * sizeof(Colour));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(source.size() * 4));
}
BENCHMARK(BM_MemcpyOneFrame);

void BM_BlitAddWholeView(benchmark::State& state) {
    startSeededBattle(11);
    clearScreen();
    for (auto _ : state) {
        blitAdd(game.worldImage, game.cameraX, game.cameraY, game.cameraX + 639,
                game.cameraY + 479);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * screenWidth * screenHeight * 4);
}
BENCHMARK(BM_BlitAddWholeView);

void BM_DrawWorldView(benchmark::State& state) {
    startSeededBattle(12);
    for (auto _ : state) {
        drawWorldView();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawWorldView);

void BM_ClearScreenPlusBlitAdd(benchmark::State& state) {
    startSeededBattle(13);
    for (auto _ : state) {
        clearScreen();
        drawWorldView();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearScreenPlusBlitAdd);

}  // namespace
