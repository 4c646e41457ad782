// Full screen keeps the desktop's resolution: the renderer's logical size
// scales the 640 x 480 picture up with its shape kept.
#include "platform/sdl_fullscreen.h"

namespace {

bool isFullScreen(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

}  // namespace

bool toggleFullScreen(SDL_Window* window, FullScreenSwitch switchTo) {
    const Uint32 wanted = isFullScreen(window) ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (switchTo(window, wanted) != 0) {
        switchTo(window, 0);  // whatever went wrong, the game goes on in a window
    }
    const bool full = isFullScreen(window);
    SDL_ShowCursor(full ? SDL_DISABLE : SDL_ENABLE);
    return full;
}
