// The headless backend for tests and benchmarks: no window, no pause, and a
// shown frame simply stays readable in the screen image.
#include "platform/system.h"

bool openScreen() {
    return true;
}

void showFrame(const Image& /*screen*/) {}

void sleepMs(int /*milliseconds*/) {}

void endProgram(int /*status*/) {}

int runWithWindow(int (*game)()) {
    return game();
}
