// Zendorak: the game run in its SDL2 window.
#include "game/main_loop.h"
#include "platform/system.h"

int main() {
    return runWithWindow(runGame);
}
