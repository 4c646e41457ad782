// The software surface: lines, text, the additive blit, rounding and images.
#include "platform/graphics.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Pixel = std::pair<int, int>;

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setColour(white);
        clearScreen();
    }
};

std::set<Pixel> litScreenPixels() {
    std::set<Pixel> lit;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (readPixel(screenImage(), x, y) != screenBackground) {
                lit.insert({x, y});
            }
        }
    }
    return lit;
}

struct LineCase {
    const char* name;
    float x1, y1, x2, y2;
    std::set<Pixel> expected;
};

TEST_F(GraphicsTest, LinesFollowBresenhamWithBothEnds) {
    const std::vector<LineCase> cases{
        {"shallow, the documented example", 0, 0, 2, 1, {{0, 0}, {1, 1}, {2, 1}}},
        {"reversed draws from its own start", 2, 1, 0, 0, {{2, 1}, {1, 0}, {0, 0}}},
        {"steep steps y every pixel", 0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {"diagonal tie runs along x", 3, 3, 0, 0, {{3, 3}, {2, 2}, {1, 1}, {0, 0}}},
        {"a single point", 5, 5, 5, 5, {{5, 5}}},
        {"horizontal", 10, 4, 13, 4, {{10, 4}, {11, 4}, {12, 4}, {13, 4}}},
        {"off-screen pixels are skipped", -2, 0, 1, 0, {{0, 0}, {1, 0}}},
        {"wholly off-screen", 700, 10, 800, 20, {}},
        {"float ends round half away from zero", 0.5f, 0.49f, 2.5f, 0.5f, {{1, 0}, {2, 1}, {3, 1}}},
    };
    for (const LineCase& line : cases) {
        clearScreen();
        drawLine(line.x1, line.y1, line.x2, line.y2);
        EXPECT_EQ(litScreenPixels(), line.expected) << line.name;
    }
}

TEST_F(GraphicsTest, ALineWithItsOwnColourLeavesTheCurrentOne) {
    setColour(0xFF123456);
    drawLine(0, 0, 3, 0, 0xFFFF0000);
    EXPECT_EQ(readPixel(screenImage(), 3, 0), 0xFFFF0000u);
    EXPECT_EQ(currentColour(), 0xFF123456u);
    drawLine(0, 1, 3, 1);
    EXPECT_EQ(readPixel(screenImage(), 3, 1), 0xFF123456u);
}

TEST_F(GraphicsTest, CoordinatesRoundHalfAwayFromZero) {
    Image* image = createImage(4, 4);
    setColour(0xFF010203);
    plot(image, 1.5f, 0.4999f);  // (2, 0)
    plot(image, 2.49f, 2.5f);    // (2, 3)
    plot(image, -0.5f, 0.0f);    // rounds to -1: dropped
    plot(image, 3.5f, 0.0f);     // rounds to 4: dropped
    EXPECT_EQ(readPixel(image, 2, 0), 0xFF010203u);
    EXPECT_EQ(readPixel(image, 2, 3), 0xFF010203u);
    EXPECT_EQ(readPixel(image, 1.6f, -0.4f), 0xFF010203u) << "reads round the same way";
    EXPECT_EQ(readPixel(image, 0, 0), maskColour);
    EXPECT_EQ(readPixel(image, 3, 0), maskColour);
    EXPECT_EQ(readPixel(image, -0.6f, 0), white) << "outside reads white";
    EXPECT_EQ(readPixel(image, 0, 3.5f), white);
    destroyImage(image);
}

TEST_F(GraphicsTest, NewImagesAreMaskAndMissingImagesAreHarmless) {
    Image* image = createImage(3, 2);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(readPixel(image, x, y), maskColour);
        }
    }
    destroyImage(image);

    EXPECT_EQ(createImage(0, 5), nullptr);
    EXPECT_EQ(createImage(-1, 5), nullptr);
    setImageCreationFailing(true);
    EXPECT_EQ(createImage(10, 10), nullptr);
    setImageCreationFailing(false);

    plot(nullptr, 1, 1);
    blitAdd(nullptr, 0, 0, 10, 10);
    destroyImage(nullptr);
    EXPECT_EQ(readPixel(nullptr, 0, 0), white);
    EXPECT_EQ(litScreenPixels().size(), 0u);
}

struct BlitCase {
    const char* name;
    Colour screen;
    Colour source;
    Colour expected;
};

TEST_F(GraphicsTest, BlitAddScalesEachByteAndSaturates) {
    const std::vector<BlitCase> cases{
        {"green onto black loses one step", 0xFF000000, 0xFF00FF00, 0xFF00FE00},
        {"white onto black", 0xFF000000, 0xFFFFFFFF, 0xFFFEFEFE},
        {"grey", 0xFF000000, 0xFF808080, 0xFF7F7F7F},
        {"zero bytes stay zero", 0x00000000, 0x00010200, 0x00000100},
        {"sums saturate per byte", 0xFF80FF01, 0xFF81FF02, 0xFFFFFF02},
        {"mask is skipped", 0xFF102030, 0xFFFF00FF, 0xFF102030},
        {"mask is skipped whatever its alpha", 0xFF102030, 0x00FF00FF, 0xFF102030},
        {"a near-mask colour is not skipped", 0xFF000000, 0xFFFF00FE, 0xFFFE00FD},
    };
    Image* source = createImage(1, 1);
    for (const BlitCase& blit : cases) {
        setColour(blit.screen);
        plot(screenImage(), 0, 0);
        setColour(blit.source);
        plot(source, 0, 0);
        blitAdd(source, 0, 0, 0, 0);
        EXPECT_EQ(readPixel(screenImage(), 0, 0), blit.expected) << blit.name;
    }
    destroyImage(source);
}

TEST_F(GraphicsTest, BlitAddTakesTheClampedRectangleWithItsCorners) {
    // Every pixel of a 20 x 10 image carries its own position; added onto the
    // black screen each byte shows one less, the alpha saturating.
    Image* source = createImage(20, 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            setColour(0xFF000000 | static_cast<Colour>(x + 10) << 8 | static_cast<Colour>(y + 10));
            plot(source, x, y);
        }
    }
    blitAdd(source, 15, 7, 30, 30);  // clamps to (15, 7)-(19, 9)
    std::set<Pixel> lit = litScreenPixels();
    EXPECT_EQ(lit.size(), 15u);
    EXPECT_EQ(readPixel(screenImage(), 0, 0), 0xFF000000 | (15 + 9) << 8 | (7 + 9));
    EXPECT_EQ(readPixel(screenImage(), 4, 2), 0xFF000000 | (19 + 9) << 8 | (9 + 9));

    clearScreen();
    blitAdd(source, -5, -5, 2, 1);  // clamps to (0, 0)-(2, 1)
    EXPECT_EQ(litScreenPixels().size(), 6u);
    EXPECT_EQ(readPixel(screenImage(), 2, 1), 0xFF000000 | (2 + 9) << 8 | (1 + 9));

    clearScreen();
    blitAdd(source, 5, 5, 4, 4);  // an empty rectangle
    EXPECT_TRUE(litScreenPixels().empty());
    destroyImage(source);
}

TEST_F(GraphicsTest, BlitAddOfAWideImageIsClippedToTheScreen) {
    Image* world = createImage(1280, 600);
    setColour(0xFF00FF00);
    for (int x = 0; x < 1280; ++x) {
        plot(world, x, 599);
    }
    blitAdd(world, 0, 120, 1279, 599);
    EXPECT_EQ(readPixel(screenImage(), 639, 479), 0xFF00FE00u);
    EXPECT_EQ(readPixel(screenImage(), 639, 478), screenBackground);
    destroyImage(world);
}

// A frame that starts with a view over the whole screen must not show what the
// frame before it drew, under the view's mask pixels least of all.
TEST_F(GraphicsTest, NothingOfTheLastFrameSurvivesAClear) {
    Image* sky = createImage(screenWidth, screenHeight);  // all mask
    setColour(white);
    drawLine(0, 0, 639, 479);
    clearScreen();
    blitAdd(sky, 0, 0, 639, 479);
    EXPECT_TRUE(litScreenPixels().empty());

    drawText(0, 0, "A");
    clearScreen();
    const Colour* pixels = imagePixels(screenImage());
    EXPECT_EQ(pixels[0], screenBackground) << "the finished frame handed to the window";
    EXPECT_EQ(pixels[screenWidth * screenHeight - 1], screenBackground);
    destroyImage(sky);
}

TEST_F(GraphicsTest, TextDrawsOnlyGlyphPixelsAndClipsAtTheEdge) {
    setColour(0xFFFFFF00);
    drawText(0, 0, "H");
    const std::set<Pixel> whole = litScreenPixels();
    ASSERT_FALSE(whole.empty());
    for (const Pixel& pixel : whole) {
        EXPECT_LT(pixel.first, 8);
        EXPECT_LT(pixel.second, 8);
        EXPECT_EQ(readPixel(screenImage(), pixel.first, pixel.second), 0xFFFFFF00u);
    }

    // At x = 636 only the left four columns of the first character show.
    clearScreen();
    drawText(636, 0, "HH");
    std::set<Pixel> expected;
    for (const Pixel& pixel : whole) {
        if (pixel.first < 4) {
            expected.insert({pixel.first + 636, pixel.second});
        }
    }
    EXPECT_EQ(litScreenPixels(), expected);

    // Characters outside the printable range leave their cell empty but keep
    // their place.
    clearScreen();
    drawText(0, 0, "\tH");
    std::set<Pixel> shifted;
    for (const Pixel& pixel : whole) {
        shifted.insert({pixel.first + 8, pixel.second});
    }
    EXPECT_EQ(litScreenPixels(), shifted);
}

TEST_F(GraphicsTest, ClearScreenBlackensEveryPixel) {
    setColour(0xFFABCDEF);
    drawLine(0, 0, 639, 479);
    drawText(0, 400, "ABC");
    clearScreen();
    EXPECT_TRUE(litScreenPixels().empty());
    EXPECT_EQ(currentColour(), 0xFFABCDEFu) << "clearing keeps the drawing colour";
}

}  // namespace
