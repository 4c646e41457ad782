// The game's random source: MT19937, one uniform double in [0, 1) per draw.
#pragma once

#include <cstdint>
#include <initializer_list>

void seedRandom();  // from a high-resolution clock: every run differs
void seedRandomWith(std::uint32_t seed);
double randomUnit();  // next 32-bit output / 2^32

// Test seam: queued values are returned by randomUnit, in order, before the
// generator is drawn from again.
void queueRandomUnits(std::initializer_list<double> values);
void clearQueuedRandomUnits();
