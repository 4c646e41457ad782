// Alt+Enter's switch, on SDL's dummy video driver: no display needed.
#include "platform/sdl_fullscreen.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<Uint32> requestedFlags;

int failingSwitch(SDL_Window* window, Uint32 flags) {
    requestedFlags.push_back(flags);
    if (flags != 0) {
        // Some window systems take the request half-way before refusing it.
        SDL_SetWindowFullscreen(window, flags);
        return -1;
    }
    return SDL_SetWindowFullscreen(window, 0);
}

class FullScreenSwitch : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("Zendorak", 0, 0, 640, 480, 0);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        requestedFlags.clear();
    }
    void TearDown() override {
        SDL_DestroyWindow(window);
        SDL_Quit();
    }
    [[nodiscard]] bool isFullScreen() const {
        return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    }
    SDL_Window* window = nullptr;
};

TEST_F(FullScreenSwitch, GoesToDesktopFullScreenAndBack) {
    EXPECT_TRUE(toggleFullScreen(window));
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP,
              static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
    EXPECT_FALSE(toggleFullScreen(window));
    EXPECT_FALSE(isFullScreen());
}

TEST_F(FullScreenSwitch, AFailedSwitchLeavesTheWindow) {
    EXPECT_FALSE(toggleFullScreen(window, failingSwitch));
    EXPECT_FALSE(isFullScreen());
    EXPECT_EQ(requestedFlags, (std::vector<Uint32>{SDL_WINDOW_FULLSCREEN_DESKTOP, 0}));

    // The next Alt+Enter tries again.
    EXPECT_TRUE(toggleFullScreen(window));
}

}  // namespace
