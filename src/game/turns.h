// The player's side of a battle: aiming, abandoning, the status bar, the help
// line and the countdown that passes the turn.
#pragma once

// Arrow keys turn the barrel and set the power of the active player, then
// the barrel and power lines are drawn.
void updateAim();

// Q: the battle ends at once and the game returns to the title screen.
void abandonBattle();

// Both health bars and both health numbers.
void drawStatusBar();

void drawHelpLine();

// Counts the turn delay down and passes the turn when it reaches 0.
void countDownTurn();
