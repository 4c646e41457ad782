// Turns, aiming and the status bar.
#include "game/turns.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "battlefield/battlefield.h"
#include "battlefield/camera.h"
#include "game/game_session.h"
#include "game/rounding.h"
#include "platform/graphics.h"
#include "platform/input.h"

namespace {

constexpr double barrelLength = 64.0;
constexpr Colour red = 0xFFFF0000;
constexpr Colour blue = 0xFF0000FF;
constexpr Colour yellow = 0xFFFFFF00;

void drawWorldLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    drawLine(static_cast<float>(x1 - game.cameraX), static_cast<float>(y1 - game.cameraY),
             static_cast<float>(x2 - game.cameraX), static_cast<float>(y2 - game.cameraY));
}

// A health bar: the white background, then the health grown from its left end.
void drawHealthBar(int left, std::uint8_t health, Colour colour) {
    constexpr int barWidth = 100;
    for (int y = 2; y <= 12; ++y) {
        drawLine(static_cast<float>(left), static_cast<float>(y),
                 static_cast<float>(left + barWidth), static_cast<float>(y), white);
    }
    for (int y = 2; y <= 12; ++y) {
        drawLine(static_cast<float>(left), static_cast<float>(y), static_cast<float>(left + health),
                 static_cast<float>(y), colour);
    }
    // The number takes whatever colour an earlier step of the frame left set.
    drawText(static_cast<float>(left), 25, std::to_string(health));
}

}  // namespace

void updateAim() {
    const int player = game.currentPlayer;
    std::int32_t& angle = game.aimAngle[player];
    std::uint8_t& power = game.aimPower[player];

    if (keyDown(key::left)) {
        angle += 1;
        if (angle > 360) {
            angle = 0;
        }
    }
    if (keyDown(key::right)) {
        angle -= 1;
        if (angle < 0) {
            angle = 360;
        }
    }
    if (keyDown(key::up) && power < 100) {
        power += 1;
    }
    if (keyDown(key::down) && power > 2) {
        power -= 1;
    }

    // Screen y grows downwards, so turning by 360 - angle puts the barrel at
    // the angle counter-clockwise from pointing right.
    const double radians = (360 - angle) * std::numbers::pi / 180.0;
    const std::int32_t pivotX = game.fortressX[player] + 32;
    const std::int32_t pivotY = game.fortressY[player] - 4;
    const double powerLength = 32.0 / (50.0 / power);

    setColour(red);
    drawWorldLine(pivotX, pivotY, nearestEven(pivotX + std::cos(radians) * barrelLength),
                  nearestEven(pivotY + std::sin(radians) * barrelLength));
    setColour(yellow);
    drawWorldLine(pivotX, pivotY, nearestEven(pivotX + std::cos(radians) * powerLength),
                  nearestEven(pivotY + std::sin(radians) * powerLength));
}

void abandonBattle() {
    clearScreen();
    leaveBattle(GameState::Title);
}

void drawStatusBar() {
    drawHealthBar(2, game.fortressHealth[1], red);
    drawHealthBar(538, game.fortressHealth[2], blue);
}

void drawHelpLine() {
    setColour(white);
    drawText(
        2, 460,
        game.language == Language::Hungarian
            ? "NYIL gombokkal allithato a loves milyensege, ENTER-rel lohetsz, Q-val kilephetsz."
            : "ARROW keys to set quality of shoot, ENTER to fire, Q to quit.");
}

void countDownTurn() {
    if (game.turnDelay == 0) {
        return;
    }
    game.turnDelay -= 1;
    if (game.turnDelay == 0) {
        game.currentPlayer = game.currentPlayer == 1 ? 2 : 1;
        centreCamera(game.fortressX[game.currentPlayer], game.fortressY[game.currentPlayer]);
    }
}
