// The one global game record. Every part of the game reads and writes it
// directly; player numbers 1 and 2 index the per-player arrays (slot 0 unused).
#pragma once

#include <cstdint>
#include <string>

#include "ballistics/shot.h"
#include "ballistics/sparks.h"
#include "battlefield/sprites.h"
#include "platform/graphics.h"

enum class GameState : std::uint8_t { Exit = 0, Title = 1, Battle = 2, GameOver = 3 };

enum class Language : std::uint8_t { Hungarian = 1, English = 2 };

constexpr int fortressPixelCapacity = fortressSize * fortressSize;

// Frames from the end of a shot until the turn passes.
constexpr std::uint8_t turnDelayFrames = 100;

struct GameSession {
    GameState state;
    Language language;
    std::uint8_t currentPlayer;

    std::int32_t fortressX[3];  // top-left corner of each fortress picture
    std::int32_t fortressY[3];
    std::int32_t fortressWidth[3];
    std::int32_t fortressHeight[3];
    std::uint8_t fortressAlive[3];  // 1 while the fortress takes part in impact tests
    std::uint8_t fortressMaxHealth[3];
    std::uint8_t fortressHealth[3];  // below 25 the fortress has lost

    std::int32_t aimAngle[3];  // 0 to 360 degrees
    std::uint8_t aimPower[3];  // 2 to 100
    std::uint8_t turnDelay;    // frames until the turn passes; 0: none pending

    std::int32_t cameraX;  // world position of the view's top-left corner
    std::int32_t cameraY;

    Image* worldImage;  // the 1280 x 600 battlefield, only during a battle
    FortressPixel fortressPixels[3][fortressPixelCapacity + 1];  // records 1 to 4096

    ShotState shot;
    Debris debris[sparkSlots];
    std::string winnerLabel;  // "1." or "2."
};

extern GameSession game;
