// The software drawing surface: the 640 x 480 screen, off-screen images and the
// few drawing operations the game needs. Pure C++; the window backend only ever
// sees finished frames.
#pragma once

#include <cstdint>
#include <string_view>

using Colour = std::uint32_t;  // 0xAARRGGBB, stored and compared whole

constexpr Colour maskColour = 0xFFFF00FF;  // fills every new image, never shown
constexpr Colour screenBackground = 0xFF000000;
constexpr Colour white = 0xFFFFFFFF;
constexpr int screenWidth = 640;
constexpr int screenHeight = 480;

struct Image;

Image* screenImage();
int imageWidth(const Image* image);
int imageHeight(const Image* image);
// Row-major pixels, width x height of them; nullptr for no image.
const Colour* imagePixels(const Image* image);

// Returns nullptr when the memory for the picture cannot be had.
Image* createImage(int width, int height);
void destroyImage(Image* image);

// Coordinates are floats made whole by rounding half away from zero; anything
// outside the image is dropped (plot) or reads as white (readPixel).
Colour readPixel(const Image* image, float x, float y);
void plot(Image* image, float x, float y);

void setColour(Colour colour);
Colour currentColour();

// One-pixel screen lines, both ends drawn, off-screen pixels skipped. The form
// with a colour leaves the current colour alone.
void drawLine(float x1, float y1, float x2, float y2);
void drawLine(float x1, float y1, float x2, float y2, Colour colour);

// 8 x 8 cells from the top-left corner; only set glyph pixels are drawn, in the
// current colour. Characters outside ASCII 32 to 126 leave their cell empty.
void drawText(float x, float y, std::string_view text);

// Adds the rectangle (x1, y1)-(x2, y2) of the image, corners included and
// clamped to the image, onto the screen from (0, 0). Mask pixels are skipped;
// every other byte s adds floor(s * 255 / 256), saturating at 255.
void blitAdd(const Image* image, float x1, float y1, float x2, float y2);

// A frame is drawn between lockScreen and unlockScreen; the calls nest and the
// outermost unlock hands the finished frame to the window.
void lockScreen();
void unlockScreen();
void clearScreen();

// Test seam: while set, createImage fails as if memory had run out.
void setImageCreationFailing(bool failing);
