// Battlefield generation. Every random decision takes a fresh randomUnit, in
// a fixed order, so a seeded battle can be replayed exactly.
#include "battlefield/battlefield.h"

#include <cmath>
#include <cstdlib>

#include "ballistics/sparks.h"
#include "battlefield/camera.h"
#include "battlefield/sprites.h"
#include "game/game_session.h"
#include "platform/graphics.h"
#include "platform/random.h"

namespace {

constexpr std::uint8_t startingHealth = 100;
constexpr int lastSkyRow = 300;  // stars appear over rows 0 to 300

// floor(randomUnit() * range): a whole random number in 0 .. range - 1.
std::int32_t randomBelow(double range) {
    return static_cast<std::int32_t>(std::floor(randomUnit() * range));
}

// Fortress 1 somewhere in the left half, fortress 2 at least 576 columns in;
// both 300 to 449 rows down. Retried until they stand more than a screen apart.
void placeFortresses() {
    do {
        game.fortressX[1] = randomBelow(worldWidth / 2.0);
        game.fortressY[1] = randomBelow(worldHeight / 4.0) + 300;
        game.fortressX[2] = randomBelow(worldWidth / 2.0) + 576;
        game.fortressY[2] = randomBelow(worldHeight / 4.0) + 300;
    } while (std::abs(game.fortressX[1] - game.fortressX[2]) <= 640);
}

// The level ground around a fortress: a picture's width to its left, its own
// columns and one more than twice that to its right.
bool inFlatStrip(int player, int x) {
    return x >= game.fortressX[player] - game.fortressWidth[player] &&
           x <= game.fortressX[player] + 2 * game.fortressWidth[player];
}

void paintGround(int x, int topRow) {
    for (int y = topRow; y < worldHeight; ++y) {
        setColour(terrainColour);
        plot(game.worldImage, static_cast<float>(x), static_cast<float>(y));
    }
}

void scatterStars() {
    for (int x = 0; x < worldWidth; ++x) {
        for (int y = 0; y <= lastSkyRow; ++y) {
            if (randomBelow(1000.0) == 100) {
                setColour(white);
                plot(game.worldImage, static_cast<float>(x), static_cast<float>(y));
            }
        }
    }
}

std::int32_t randomBaseHeight() {
    return randomBelow(worldHeight / 2.0) + 5;
}

}  // namespace

void setUpBattlefield() {
    clearScreen();
    game.worldImage = createImage(worldWidth, worldHeight);
    placeFortresses();
    buildFortress(1, game.fortressX[1], game.fortressY[1]);
    game.fortressAlive[1] = 1;
    buildFortress(2, game.fortressX[2], game.fortressY[2]);
    game.fortressAlive[2] = 1;
    game.aimAngle[1] = 45;
    game.aimAngle[2] = 135;
    game.aimPower[1] = 10;
    game.aimPower[2] = 10;
    game.currentPlayer = 1;
    game.turnDelay = 0;
    generateLandscape();
    centreCamera(game.fortressX[1], game.fortressY[1]);
    game.shot.inFlight = 0;
    game.state = GameState::Battle;
}

void buildFortress(std::uint8_t player, std::int32_t x, std::int32_t y) {
    const Sprite& sprite = player == 1 ? fortressSprite1 : fortressSprite2;
    game.fortressWidth[player] = sprite.width;
    game.fortressHeight[player] = sprite.height;
    game.fortressMaxHealth[player] = startingHealth;
    game.fortressHealth[player] = game.fortressMaxHealth[player];

    int record = 1;
    for (int row = 0; row < sprite.height; ++row) {
        for (int column = 0; column < sprite.width; ++column) {
            const ColourCode code = sprite.at(row, column);
            if (code == absentCode) {
                continue;
            }
            plotCode(code, x + column, y + row, plotIntoWorld);
            game.fortressPixels[player][record] = {x + column, y + row, code};
            ++record;
        }
    }
}

void generateLandscape() {
    scatterStars();

    // The first run starts counting at 1 and may be as short as one column.
    std::int32_t groundHeight = randomBaseHeight();
    auto runLength = static_cast<std::uint8_t>(randomBelow(200.0) + 1);
    std::uint8_t runStep = 0;

    for (int x = 0; x < worldWidth; ++x) {
        // Flat strips leave the run alone, so a hill goes on beyond them.
        if (inFlatStrip(1, x)) {
            paintGround(x, game.fortressY[1] + game.fortressHeight[1]);
            continue;
        }
        if (inFlatStrip(2, x)) {
            paintGround(x, game.fortressY[2] + game.fortressHeight[2]);
            continue;
        }
        runStep += 1;
        if (runStep >= runLength) {
            groundHeight = randomBaseHeight();
            runLength = static_cast<std::uint8_t>(randomBelow(200.0) + 10);
            runStep = 0;
        }
        // Each run is a tent: up for its first half, down for the rest.
        if (runStep < runLength / 2.0) {
            groundHeight += 1;
        } else {
            groundHeight -= 1;
        }
        paintGround(x, worldHeight - groundHeight);
    }
}

void leaveBattle(GameState next) {
    game.fortressAlive[1] = 0;
    game.fortressAlive[2] = 0;
    game.shot.inFlight = 0;
    clearSparks();
    destroyImage(game.worldImage);
    game.worldImage = nullptr;
    game.state = next;
}
