// Shared helpers for driving the game frame by frame with no window.
#pragma once

#include <initializer_list>

#include "game/game_session.h"
#include "game/main_loop.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/random.h"

// Puts the game back to a freshly started program: a zero-filled record (any
// world picture released), no key held, nothing queued for the random source,
// a fixed seed, white drawing colour, a black screen, and start-up done.
inline void restartGame(std::uint32_t seed = 1) {
    destroyImage(game.worldImage);
    game = GameSession{};
    releaseAllKeys();
    clearQueuedRandomUnits();
    setImageCreationFailing(false);
    setColour(white);
    clearScreen();
    startUp();
    seedRandomWith(seed);
}

// Holds exactly these keys (all others released).
inline void holdOnly(std::initializer_list<int> codes) {
    releaseAllKeys();
    for (int code : codes) {
        setKeyHeld(code, true);
    }
}

inline void runFrames(int count) {
    for (int i = 0; i < count; ++i) {
        runFramePass();
    }
}

// From the title screen into a new battle: one frame with Space held.
inline void startBattle() {
    holdOnly({key::space});
    runFramePass();
    releaseAllKeys();
}

inline Colour screenPixel(int x, int y) {
    return readPixel(screenImage(), static_cast<float>(x), static_cast<float>(y));
}
