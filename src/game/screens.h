// The title screen and the result screen.
#pragma once

// Draws the title texts, then handles Esc, L and Space.
void titleFrame();

// Draws the winner line, then handles Q.
void gameOverFrame();

// L switches the language once per press: the latch holds until L is seen
// released on a title frame.
void resetLanguageKeyLatch();
