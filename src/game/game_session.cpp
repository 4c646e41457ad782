// The record itself: static storage, so it is zero-filled before the first frame.
#include "game/game_session.h"

GameSession game;
