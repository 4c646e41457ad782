// The view jumps at once; there is no scrolling animation.
#include "battlefield/camera.h"

#include <algorithm>

#include "game/game_session.h"
#include "platform/graphics.h"

void centreCamera(std::int32_t x, std::int32_t y) {
    // The largest corners that keep the whole view inside the world.
    constexpr std::int32_t maxCameraX = worldWidth - screenWidth;
    constexpr std::int32_t maxCameraY = worldHeight - screenHeight;
    game.cameraX = std::clamp(x - screenWidth / 2, 0, maxCameraX);
    game.cameraY = std::clamp(y - screenHeight / 2, 0, maxCameraY);
}

void drawWorldView() {
    const auto left = static_cast<float>(game.cameraX);
    const auto top = static_cast<float>(game.cameraY);
    blitAdd(game.worldImage, left, top, left + screenWidth - 1, top + screenHeight - 1);
}
