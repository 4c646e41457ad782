// The contact test of a flying shot: craters, fortress damage and victory.
#pragma once

#include <cstdint>

// Tests the shot at its screen position; draws it when it touches nothing.
void testImpact(std::int32_t screenX, std::int32_t screenY);
