// The window backend's side of the platform: what the game asks of the window,
// the clock and the process. One backend is linked into each program: the SDL2
// window for the game, the headless one for tests and benchmarks.
#pragma once

struct Image;

// Opens the 640 x 480 window. The game never checks the answer.
bool openScreen();

// Hands a finished frame over to be shown; called by the outermost unlockScreen.
void showFrame(const Image& screen);

// Pauses the game's thread; key events go on being taken meanwhile.
void sleepMs(int milliseconds);

// Closes the window; the process then ends with this status.
void endProgram(int status);

// Runs the game (normally runGame) the way the backend needs it run and
// returns the process's exit status.
int runWithWindow(int (*game)());
