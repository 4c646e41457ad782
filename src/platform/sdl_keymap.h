// SDL's position-based scan codes translated to the PC set-1 codes the key
// table is indexed by. Kept apart from the window so it can be checked alone.
#pragma once

#include <SDL_scancode.h>

// The key's set-1 make code with any E0 prefix dropped, so the grey arrows and
// the keypad's 8, 4, 6, 2 both read as the arrows, and either Enter as Enter;
// -1 for keys that have no single set-1 code.
int setOneCodeFor(SDL_Scancode scancode);
