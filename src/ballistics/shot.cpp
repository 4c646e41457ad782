// Shot flight: the position is worked out every frame from the flight time by
// a closed formula, not integrated step by step.
#include "ballistics/shot.h"

#include <cmath>
#include <numbers>

#include "ballistics/impact.h"
#include "battlefield/camera.h"
#include "game/game_session.h"
#include "game/rounding.h"
#include "platform/input.h"

namespace {

constexpr double gravityTerm = 4.905;  // half of g, in pixels per unit of time squared
constexpr double timeStep = 0.05;

// Once Q has ended the battle earlier in the frame, its world picture is gone:
// nothing may fire or fly into it.
bool battleGoesOn() {
    return game.state == GameState::Battle;
}

}  // namespace

void tryFireShot() {
    if (!battleGoesOn() || !keyDown(key::enter) || game.shot.inFlight != 0 || game.turnDelay >= 1) {
        return;
    }
    const int player = game.currentPlayer;
    game.shot.inFlight = 1;
    game.shot.originX = game.fortressX[player] + 32;
    game.shot.originY = game.fortressY[player] - 16;
    game.shot.power = game.aimPower[player];
    game.shot.angle = game.aimAngle[player];
    game.shot.time = 0.0f;
}

void advanceShot() {
    if (!battleGoesOn() || game.shot.inFlight != 1) {
        return;
    }
    const ShotState& shot = game.shot;
    const double theta = shot.angle * std::numbers::pi / 180.0;
    const double time = shot.time;
    const auto x = static_cast<float>(shot.originX + shot.power * std::cos(theta) * time);
    const auto y = static_cast<float>(shot.originY - shot.power * std::sin(theta) * time +
                                      time * time * gravityTerm);
    game.shot.time = static_cast<float>(time + timeStep);

    centreCamera(nearestEven(x), nearestEven(y));

    // The left edge is 1.0 and the right one admits 1280.0; the top is open,
    // so a high shot comes down again.
    if (x < 1.0f || x > 1280.0f || y > 600.0f) {
        game.turnDelay = turnDelayFrames;
        game.shot.inFlight = 0;
        return;
    }
    testImpact(nearestEven(x - static_cast<float>(game.cameraX)),
               nearestEven(y - static_cast<float>(game.cameraY)));
}
