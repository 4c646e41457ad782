// Shared set-up for the benchmarks: a seeded battle, as a player would start it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "battlefield/battlefield.h"
#include "game/game_session.h"
#include "game/main_loop.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/random.h"

inline void startSeededBattle(std::uint32_t seed) {
    destroyImage(game.worldImage);
    game = GameSession{};
    releaseAllKeys();
    startUp();
    seedRandomWith(seed);
    lockScreen();
    setUpBattlefield();
    unlockScreen();
}

// The yardstick of per-frame work: copying one 640 x 480 frame.
inline std::vector<Colour> frameSizedBuffer() {
    return std::vector<Colour>(static_cast<std::size_t>(screenWidth) * screenHeight, 0xFF204060);
}
