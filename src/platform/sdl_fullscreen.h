// Alt+Enter: between the window and desktop full screen.
#pragma once

#include <SDL.h>

// The call that switches the window; SDL's own unless a test stands in.
using FullScreenSwitch = int (*)(SDL_Window* window, Uint32 flags);

// Toggles the window between windowed and desktop full screen. A switch that
// fails leaves the game in a window. Returns whether the window is now full
// screen.
bool toggleFullScreen(SDL_Window* window, FullScreenSwitch switchTo = SDL_SetWindowFullscreen);
