// The contact test. Ground is known only by its green; fortresses by their
// boxes and their pixel records. The first pixel of the shot area, in reading
// order, that is ground or that hits a live fortress pixel decides the contact.
#include "ballistics/impact.h"

#include <algorithm>

#include "ballistics/sparks.h"
#include "battlefield/battlefield.h"
#include "battlefield/sprites.h"
#include "game/game_session.h"
#include "game/rounding.h"
#include "platform/graphics.h"

namespace {

constexpr std::uint8_t fallenBelow = 25;

struct ShotArea {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// The area is one pixel wider and taller than the shot sprite: (w + 1) x (h + 1)
// pixels centred on the shot.
ShotArea shotAreaAround(std::int32_t x, std::int32_t y) {
    const double halfWidth = shotSprite.width / 2.0;
    const double halfHeight = shotSprite.height / 2.0;
    return {nearestEven(x - halfWidth), nearestEven(y - halfHeight), nearestEven(x + halfWidth),
            nearestEven(y + halfHeight)};
}

void plotWorldBlack(std::int32_t x, std::int32_t y) {
    setColour(emptyColour);
    plot(game.worldImage, static_cast<float>(x), static_cast<float>(y));
}

// A square the size of the shot area, centred on the ground pixel found.
void cutCrater(std::int32_t x, std::int32_t y) {
    const ShotArea crater = shotAreaAround(x, y);
    for (std::int32_t row = crater.top; row <= crater.bottom; ++row) {
        for (std::int32_t column = crater.left; column <= crater.right; ++column) {
            plotWorldBlack(column, row);
        }
    }
}

bool insideBox(int player, std::int32_t x, std::int32_t y) {
    return game.fortressAlive[player] == 1 && game.fortressX[player] <= x &&
           x <= game.fortressX[player] + game.fortressWidth[player] &&
           game.fortressY[player] <= y && y <= game.fortressY[player] + game.fortressHeight[player];
}

// The fortress build records the cells in reading order, so the record of a
// world pixel follows from its place in the picture. A record that does not
// sit where expected sends the search through all records instead.
FortressPixel* recordAt(int player, std::int32_t x, std::int32_t y) {
    const std::int32_t width = game.fortressWidth[player];
    const std::int32_t height = game.fortressHeight[player];
    const std::int32_t column = x - game.fortressX[player];
    const std::int32_t row = y - game.fortressY[player];
    if (column < 0 || column >= width || row < 0 || row >= height) {
        return nullptr;
    }
    FortressPixel& expected = game.fortressPixels[player][row * width + column + 1];
    if (expected.x == x && expected.y == y) {
        return &expected;
    }
    const std::int32_t recordCount = std::min(width * height, fortressPixelCapacity);
    for (std::int32_t k = 1; k <= recordCount; ++k) {
        FortressPixel& record = game.fortressPixels[player][k];
        if (record.x == x && record.y == y && record.code != emptyCode) {
            return &record;
        }
    }
    return nullptr;
}

// Knocks out every live pixel of the fortress inside the shot area at once.
// Returns whether anything was destroyed.
bool knockOutFortressPixels(int player, const ShotArea& area) {
    bool destroyed = false;
    for (std::int32_t j = area.top; j <= area.bottom; ++j) {
        for (std::int32_t i = area.left; i <= area.right; ++i) {
            FortressPixel* record = recordAt(player, game.cameraX + i, game.cameraY + j);
            if (record != nullptr && record->code != emptyCode) {
                plotWorldBlack(record->x, record->y);
                record->code = emptyCode;
                destroyed = true;
            }
        }
    }
    return destroyed;
}

void drawShot(const ShotArea& area) {
    for (int row = 0; row < shotSprite.height; ++row) {
        for (int column = 0; column < shotSprite.width; ++column) {
            const ColourCode code = shotSprite.at(row, column);
            if (code != absentCode) {
                plotCode(code, area.left + column, area.top + row, plotOntoScreen);
            }
        }
    }
}

// One point per damaging impact, however many pixels it knocked out.
void damageFortress(int player) {
    game.fortressHealth[player] -= 1;
    if (game.fortressHealth[player] < fallenBelow) {
        game.winnerLabel = player == 1 ? "2." : "1.";
        leaveBattle(GameState::GameOver);
    }
}

}  // namespace

void testImpact(std::int32_t screenX, std::int32_t screenY) {
    const ShotArea area = shotAreaAround(screenX, screenY);
    bool contact = false;
    bool fortressHit[3] = {false, false, false};
    // A search that found nothing would find nothing again in this call.
    bool searchedInVain[3] = {false, false, false};

    for (std::int32_t j = area.top; j <= area.bottom && !contact; ++j) {
        for (std::int32_t i = area.left; i <= area.right && !contact; ++i) {
            const std::int32_t x = game.cameraX + i;
            const std::int32_t y = game.cameraY + j;
            if (readPixel(game.worldImage, static_cast<float>(x), static_cast<float>(y)) ==
                terrainColour) {
                cutCrater(x, y);
                contact = true;
                continue;
            }
            // The fortress 2 box is looked at only when the fortress 1 box is missed.
            const int player = insideBox(1, x, y) ? 1 : (insideBox(2, x, y) ? 2 : 0);
            if (player != 0 && !searchedInVain[player]) {
                fortressHit[player] = knockOutFortressPixels(player, area);
                searchedInVain[player] = !fortressHit[player];
                contact = fortressHit[player];
            }
        }
    }

    if (!contact) {
        drawShot(area);
        return;
    }
    spawnSparks(area.left, area.top);
    if (fortressHit[1]) {
        damageFortress(1);
    }
    if (fortressHit[2]) {
        damageFortress(2);
    }
    game.turnDelay = turnDelayFrames;
    game.shot.inFlight = 0;
}
