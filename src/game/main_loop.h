// Start-up and the frame loop: one pass is one frame of one screen state.
#pragma once

// Seeds the random source, opens the screen, Hungarian, Title, latch at 0.
void startUp();

// One pass of the frame loop: looks at the state once and runs its frame,
// the 10 ms pause included.
void runFramePass();

// Start-up, frames until the state is Exit, and the end of the program.
int runGame();

// The battle frame: world view, aiming, abandon, fire, flight, sparks, status
// bar, help line and turn countdown, in that order.
void battleFrame();
