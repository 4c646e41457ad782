// MT19937 behind one call: randomUnit gives the next 32-bit output / 2^32.
#include "platform/random.h"

#include <chrono>
#include <deque>
#include <random>

namespace {

std::mt19937 generator;
std::deque<double> queuedUnits;

}  // namespace

void seedRandom() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    generator.seed(seed);
}

void seedRandomWith(std::uint32_t seed) {
    generator.seed(seed);
}

double randomUnit() {
    if (!queuedUnits.empty()) {
        const double value = queuedUnits.front();
        queuedUnits.pop_front();
        return value;
    }
    return static_cast<double>(generator()) / 4294967296.0;
}

void queueRandomUnits(std::initializer_list<double> values) {
    queuedUnits.insert(queuedUnits.end(), values.begin(), values.end());
}

void clearQueuedRandomUnits() {
    queuedUnits.clear();
}
