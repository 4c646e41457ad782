// A fixture for tests that paint into, or read, a bare world picture: a freshly
// started game with an all-sky 1280 x 600 worldImage, released afterwards.
#pragma once

#include <gtest/gtest.h>

#include "test_support.h"

class WithWorldPicture : public ::testing::Test {
protected:
    void SetUp() override {
        restartGame();
        game.worldImage = createImage(1280, 600);
    }
    void TearDown() override {
        destroyImage(game.worldImage);
        game.worldImage = nullptr;
    }
};
