// Frame pacing through the real SDL window: battle frames run by the game's own
// frame loop, 10 ms pause included, timed on the game's thread. The pause is
// the game's only clock, so the frame period is the game's speed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <vector>

#include "game/game_session.h"
#include "game/main_loop.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/system.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int warmUpFrames = 50;  // title frames while the window is mapped
constexpr int timedFrames = 1000;
constexpr int shotEvery = 150;  // frames; shots and sparks are the heaviest frames
constexpr int bareSamples = 300;
constexpr int pauseMs = 10;

struct Timings {
    std::vector<double> periodsMs;   // from one frame's start to the next one's
    std::vector<double> sleepsMs;    // sleepMs(10) alone, no frame around it
    std::vector<double> drawingMs;   // a battle frame, lock to unlock, hand-over included
    std::vector<double> handOverMs;  // showFrame alone
    double wallSeconds = 0.0;
    double cpuSeconds = 0.0;  // every thread of the process
    bool battleReached = false;
};

Timings& timings() {
    static Timings recorded;
    return recorded;
}

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Nearest rank: the smallest sample with at least `fraction` of them at or below.
double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::max<std::size_t>(rank, 1) - 1];
}

// One frame with exactly this key held, as a player would press it.
void passHolding(int code) {
    releaseAllKeys();
    setKeyHeld(code, true);
    runFramePass();
    setKeyHeld(code, false);
}

// From the title into the first battle. A focus change in the window may drop
// the key, hence the retries.
bool enterBattle() {
    for (int attempt = 0; attempt < 100 && game.state != GameState::Battle; ++attempt) {
        passHolding(key::space);
    }
    return game.state == GameState::Battle;
}

// The key a player would hold in this frame: aim sweeps all the time, every so
// often a shot flies, and a battle won is followed straight by a new one.
int keyForFrame(int frame) {
    switch (game.state) {
        case GameState::Battle:
            return frame % shotEvery == 0 ? key::enter : key::left;
        case GameState::GameOver:
            return key::q;
        default:
            return key::space;
    }
}

void timeBattleFrames(Timings& result) {
    const Clock::time_point first = Clock::now();
    const std::clock_t firstCpu = std::clock();
    Clock::time_point previous = first;
    for (int frame = 1; frame <= timedFrames; ++frame) {
        passHolding(keyForFrame(frame));
        const Clock::time_point now = Clock::now();
        result.periodsMs.push_back(millisecondsBetween(previous, now));
        previous = now;
    }
    result.wallSeconds = millisecondsBetween(first, previous) / 1000.0;
    result.cpuSeconds =
        static_cast<double>(std::clock() - firstCpu) / static_cast<double>(CLOCKS_PER_SEC);
}

// The parts of a frame one at a time: the pause, the drawing (hand-over
// included) and the hand-over to the window.
void timeFrameParts(Timings& result) {
    for (int sample = 0; sample < bareSamples; ++sample) {
        const Clock::time_point start = Clock::now();
        sleepMs(pauseMs);
        result.sleepsMs.push_back(millisecondsBetween(start, Clock::now()));
    }
    for (int sample = 0; sample < bareSamples; ++sample) {
        const Clock::time_point start = Clock::now();
        lockScreen();
        clearScreen();
        battleFrame();
        unlockScreen();
        result.drawingMs.push_back(millisecondsBetween(start, Clock::now()));
        sleepMs(pauseMs);
    }
    for (int sample = 0; sample < bareSamples; ++sample) {
        const Clock::time_point start = Clock::now();
        showFrame(*screenImage());
        result.handOverMs.push_back(millisecondsBetween(start, Clock::now()));
        sleepMs(pauseMs);
    }
}

int runBench() {
    Timings& result = timings();
    startUp();
    for (int frame = 0; frame < warmUpFrames; ++frame) {
        runFramePass();
    }
    result.battleReached = enterBattle();
    if (result.battleReached) {
        timeBattleFrames(result);
        timeFrameParts(result);
    }
    endProgram(0);
    return 0;
}

void report(const Timings& result) {
    std::printf("%zu battle frames through the game's frame loop, sleepMs(%d) in each\n",
                result.periodsMs.size(), pauseMs);
    std::printf("frame period    median %6.3f ms   p99 %6.3f ms   max %6.3f ms   %.1f frames/s\n",
                percentile(result.periodsMs, 0.5), percentile(result.periodsMs, 0.99),
                percentile(result.periodsMs, 1.0),
                static_cast<double>(result.periodsMs.size()) / result.wallSeconds);
    const auto line = [](const char* what, const std::vector<double>& samples) {
        std::printf("%-15s median %6.3f ms   p99 %6.3f ms   max %6.3f ms\n", what,
                    percentile(samples, 0.5), percentile(samples, 0.99), percentile(samples, 1.0));
    };
    line("sleepMs(10)", result.sleepsMs);
    line("drawing", result.drawingMs);
    line("showFrame", result.handOverMs);
    std::printf("processor time  %.1f %% of one core over the battle frames, both threads\n",
                100.0 * result.cpuSeconds / result.wallSeconds);
}

}  // namespace

int main() {
    const int status = runWithWindow(runBench);
    if (status != 0) {
        return status;
    }
    const Timings& result = timings();
    if (!result.battleReached) {
        static_cast<void>(std::fputs("frame_pacing: the battle never started\n", stderr));
        return 1;
    }
    report(result);
    return 0;
}
