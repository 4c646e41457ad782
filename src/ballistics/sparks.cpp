// Sparks: sixteen slots, filled at a contact, aged and drawn once per battle
// frame. Dying and clearing touch only the active flag.
#include "ballistics/sparks.h"

#include <cmath>

#include "game/game_session.h"
#include "platform/graphics.h"
#include "platform/random.h"

namespace {

constexpr Colour yellow = 0xFFFFFF00;
constexpr int candidateColumns = 16;

}  // namespace

void spawnSparks(std::int32_t left, std::int32_t top) {
    std::uint8_t slot = 0;
    for (int column = left; column < left + candidateColumns; ++column) {
        // One chance in four per column: a draw of 0.75 or more.
        if (std::floor(randomUnit() * 4.0) > 2.0) {
            Debris& spark = game.debris[slot];
            spark.active = 1;
            spark.x = column;
            spark.y = top;
            spark.rise = static_cast<std::uint8_t>(std::floor(randomUnit() * 10.0) + 1.0);
            spark.life = static_cast<std::int32_t>(std::floor(randomUnit() * 50.0) + 10.0);
            ++slot;
        }
    }
}

void updateSparks() {
    for (Debris& spark : game.debris) {
        if (spark.active != 1) {
            continue;
        }
        spark.life -= 1;
        if (spark.life < 1) {
            spark.active = 0;
            continue;
        }
        spark.y -= spark.rise;
        setColour(yellow);
        Image* screen = screenImage();
        const auto x = static_cast<float>(spark.x);
        const auto y = static_cast<float>(spark.y);
        plot(screen, x, y);
        plot(screen, x, y - 1);
        plot(screen, x, y + 1);
        plot(screen, x + 1, y);
        plot(screen, x - 1, y);
    }
}

void clearSparks() {
    for (Debris& spark : game.debris) {
        if (spark.active == 1) {
            spark.active = 0;
        }
    }
}
