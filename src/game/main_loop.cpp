// Start-up and the frame loop. There is no timer: every speed, countdown and
// lifetime in the game is an amount per frame of work plus a 10 ms pause.
#include "game/main_loop.h"

#include "ballistics/shot.h"
#include "ballistics/sparks.h"
#include "battlefield/camera.h"
#include "game/game_session.h"
#include "game/screens.h"
#include "game/turns.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/system.h"

namespace {

constexpr int framePauseMs = 10;

// Every state's frame is bracketed the same way.
void runFrame(void (*drawFrame)()) {
    lockScreen();
    clearScreen();
    drawFrame();
    unlockScreen();
    sleepMs(framePauseMs);
}

}  // namespace

void startUp() {
    seedRandom();
    openScreen();
    game.language = Language::Hungarian;
    game.state = GameState::Title;
    resetLanguageKeyLatch();
}

void runFramePass() {
    switch (game.state) {
        case GameState::Title:
            runFrame(titleFrame);
            break;
        case GameState::Battle:
            runFrame(battleFrame);
            break;
        case GameState::GameOver:
            runFrame(gameOverFrame);
            break;
        case GameState::Exit:
            break;
    }
}

int runGame() {
    startUp();
    do {
        runFramePass();
    } while (game.state != GameState::Exit);
    endProgram(0);
    return 0;
}

void battleFrame() {
    drawWorldView();
    if (game.shot.inFlight == 0) {
        updateAim();
    }
    if (keyDown(key::q)) {
        abandonBattle();
    }
    tryFireShot();
    advanceShot();
    updateSparks();
    drawStatusBar();
    drawHelpLine();
    countDownTurn();
}
