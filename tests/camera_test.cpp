// The camera: where centreCamera puts the view, and that drawWorldView shows
// exactly the part of the world under it, the sky as black.
#include "battlefield/camera.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "test_support.h"
#include "world_fixture.h"

namespace {

TEST(Camera, CentresOnThePointAndStopsAtTheWorldsEdges) {
    struct Case {
        std::int32_t x, y, cameraX, cameraY;
    };
    const Case cases[] = {
        {0, 0, 0, 0},         {1280, 600, 640, 120}, {960, 360, 640, 120}, {961, 361, 640, 120},
        {959, 359, 639, 119}, {660, 300, 340, 60},   {320, 240, 0, 0},     {321, 241, 1, 1},
        {100, 300, 0, 60},    {1215, 449, 640, 120}, {500, -20, 180, 0},   {-50, 700, 0, 120},
    };
    for (const Case& c : cases) {
        game.cameraX = -999;
        game.cameraY = -999;
        centreCamera(c.x, c.y);
        EXPECT_EQ(game.cameraX, c.cameraX) << "point (" << c.x << ", " << c.y << ")";
        EXPECT_EQ(game.cameraY, c.cameraY) << "point (" << c.x << ", " << c.y << ")";
    }
}

class WorldViewTest : public WithWorldPicture {
protected:
    void paint(int x, int y, Colour colour) {
        setColour(colour);
        plot(game.worldImage, static_cast<float>(x), static_cast<float>(y));
    }
};

TEST_F(WorldViewTest, ShowsEachWorldColourAsTheWindowSeesIt) {
    struct Case {
        Colour world;
        Colour shown;
    };
    const Case cases[] = {
        {0xFF00FF00, 0xFF00FE00},  // green ground
        {0xFFFFFFFF, 0xFFFEFEFE},  // white star or wall
        {0xFFFF0000, 0xFFFE0000},  // red
        {0xFF0000FF, 0xFF0000FE},  // blue
        {0xFF808080, 0xFF7F7F7F},  // grey
        {0xFF000000, 0xFF000000},  // black background or crater
    };
    int x = 100;
    for (const Case& c : cases) {
        paint(x++, 200, c.world);
    }
    game.cameraX = 0;
    game.cameraY = 0;
    clearScreen();
    drawWorldView();

    x = 100;
    for (const Case& c : cases) {
        EXPECT_EQ(screenPixel(x++, 200), c.shown) << std::hex << c.world;
    }
    EXPECT_EQ(screenPixel(99, 200), screenBackground) << "the sky shows black";
    EXPECT_EQ(screenPixel(0, 0), screenBackground);
}

// Every world pixel gets its own colour (no byte is 0xFF, so none is the
// mask colour, and every byte keeps its identity through the 255/256 scaling),
// so any shift or clipping of the view shows.
Colour patternAt(int x, int y) {
    const auto red = static_cast<Colour>(2 + (x % 127) * 2);
    const auto green = static_cast<Colour>(2 + (y % 127) * 2);
    const auto blue = static_cast<Colour>(2 + (x / 127 + (y / 127) * 11) * 2);
    return 0xFF000000 | red << 16 | green << 8 | blue;
}

// The screen was cleared to opaque black, so the alpha byte stays full.
Colour shownAs(Colour world) {
    Colour shown = 0xFF000000;
    for (int shift = 0; shift < 32; shift += 8) {
        const Colour byte = world >> shift & 0xFF;
        shown |= (byte * 255 / 256) << shift;
    }
    return shown;
}

TEST_F(WorldViewTest, ShowsExactlyThePartUnderTheCamera) {
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 1280; ++x) {
            paint(x, y, patternAt(x, y));
        }
    }
    struct Corner {
        std::int32_t x, y;
    };
    for (const Corner& camera : {Corner{0, 0}, Corner{640, 120}, Corner{333, 77}}) {
        SCOPED_TRACE(testing::Message() << "camera (" << camera.x << ", " << camera.y << ")");
        game.cameraX = camera.x;
        game.cameraY = camera.y;
        clearScreen();
        drawWorldView();
        int wrong = 0;
        for (int sy = 0; sy < screenHeight; ++sy) {
            for (int sx = 0; sx < screenWidth; ++sx) {
                const Colour expected = shownAs(patternAt(sx + camera.x, sy + camera.y));
                if (screenPixel(sx, sy) != expected && wrong++ < 5) {
                    ADD_FAILURE() << "screen (" << sx << ", " << sy << ") is " << std::hex
                                  << screenPixel(sx, sy) << ", expected " << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
