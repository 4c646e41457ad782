// A new random battlefield for every battle: fortresses, stars and hills.
#pragma once

#include <cstdint>

#include "game/game_session.h"

// Builds the new battle inside the title frame in which Space was seen, and
// leaves the state Battle.
void setUpBattlefield();

// Paints a fortress into worldImage and records every cell it places.
void buildFortress(std::uint8_t player, std::int32_t x, std::int32_t y);

// Stars over the sky, then hills with level ground under the fortresses.
void generateLandscape();

// Ends a battle, by Q or by a fall: both fortresses leave the impact tests,
// the shot stops, every spark goes out and the world picture is released
// before the state moves on.
void leaveBattle(GameState next);
