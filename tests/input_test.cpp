// The key table and the random source.
#include <gtest/gtest.h>

#include <random>

#include "platform/input.h"
#include "platform/random.h"

namespace {

TEST(KeyTable, CodesOutsideTheTableReadReleasedAndAreIgnored) {
    releaseAllKeys();
    for (int code = 0; code < keyCount; ++code) {
        setKeyHeld(code, true);
    }
    setKeyHeld(200, true);
    setKeyHeld(-1, true);
    EXPECT_FALSE(keyDown(128));
    EXPECT_FALSE(keyDown(200));
    EXPECT_FALSE(keyDown(-1));
    EXPECT_TRUE(keyDown(0));
    EXPECT_TRUE(keyDown(127));
    releaseAllKeys();
}

TEST(KeyTable, HeldKeysStayHeldUntilReleasedOrTheFocusChanges) {
    releaseAllKeys();
    setKeyHeld(key::enter, true);
    setKeyHeld(key::left, true);
    EXPECT_TRUE(keyDown(key::enter)) << "reading consumes nothing";
    EXPECT_TRUE(keyDown(key::enter));
    setKeyHeld(key::left, false);
    EXPECT_FALSE(keyDown(key::left));
    releaseAllKeys();
    for (int code = 0; code < keyCount; ++code) {
        EXPECT_FALSE(keyDown(code)) << code;
    }
}

TEST(RandomSource, SeededDrawsAreMersenneTwisterOutputsOverTwoToThe32) {
    clearQueuedRandomUnits();
    seedRandomWith(5489);
    std::mt19937 reference(5489);
    for (int i = 0; i < 1000; ++i) {
        const double expected = reference() / 4294967296.0;
        const double drawn = randomUnit();
        ASSERT_EQ(drawn, expected) << i;
        ASSERT_GE(drawn, 0.0);
        ASSERT_LT(drawn, 1.0);
    }
}

TEST(RandomSource, QueuedValuesComeFirstThenTheGeneratorGoesOn) {
    clearQueuedRandomUnits();
    seedRandomWith(7);
    std::mt19937 reference(7);
    queueRandomUnits({0.75, 0.0});
    EXPECT_EQ(randomUnit(), 0.75);
    EXPECT_EQ(randomUnit(), 0.0);
    EXPECT_EQ(randomUnit(), reference() / 4294967296.0);
}

TEST(RandomSource, ClockSeedsDiffer) {
    clearQueuedRandomUnits();
    seedRandom();
    const double first = randomUnit();
    seedRandom();
    EXPECT_NE(randomUnit(), first);
}

}  // namespace
