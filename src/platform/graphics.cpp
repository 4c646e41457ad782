// The software surface: every picture is a block of 0xAARRGGBB pixels that the
// game draws into directly; the window backend only copies finished frames.
#include "platform/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include "platform/font8x8.h"
#include "platform/system.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

struct Image {
    int width = 0;
    int height = 0;
    std::unique_ptr<Colour[]> pixels;
};

namespace {

constexpr std::size_t screenPixelCount = std::size_t{screenWidth} * screenHeight;

Image screen{screenWidth, screenHeight, std::make_unique<Colour[]>(screenPixelCount)};
Colour drawingColour = white;
int lockDepth = 0;

// clearScreen only marks the screen; the fill happens when something first
// touches it. A battle frame starts with the world view over the whole screen,
// which then needs neither the fill nor a look at the pixels under it.
enum class ScreenState : std::uint8_t {
    Drawn,         // the pixels are what was drawn
    Blank,         // the pixels are all background
    ClearPending,  // logically all background; the pixels are stale
};
ScreenState screenState = ScreenState::ClearPending;  // the screen opens black

void settleScreen() {
    if (screenState == ScreenState::ClearPending) {
        std::fill_n(screen.pixels.get(), screenPixelCount, screenBackground);
        screenState = ScreenState::Blank;
    }
}

// Before any pixel of the screen is read or written outside the blit.
void touchScreen(const Image* image) {
    if (image == &screen) {
        settleScreen();
    }
}

bool imageCreationFailing = false;

std::size_t pixelIndex(const Image& image, int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
           static_cast<std::size_t>(x);
}

// A float coordinate made whole, rounding half away from zero, as long as it
// lands in 0 .. limit - 1. NaN and far-off values fail the range test.
bool wholeIndex(float coordinate, int limit, int& index) {
    const float rounded = std::round(coordinate);
    if (!(rounded >= 0.0f && rounded < static_cast<float>(limit))) {
        return false;
    }
    index = static_cast<int>(rounded);
    return true;
}

// Line ends, text and blit corners are kept well inside int range so that no
// arithmetic on them can overflow, however wild the input.
int clampedWholeCoordinate(float coordinate) {
    constexpr float reach = 1 << 24;
    const float rounded = std::round(coordinate);
    if (!(rounded == rounded)) {
        return 0;
    }
    return static_cast<int>(std::clamp(rounded, -reach, reach));
}

void putScreenPixel(int x, int y, Colour colour) {
    if (x >= 0 && x < screenWidth && y >= 0 && y < screenHeight) {
        settleScreen();
        screenState = ScreenState::Drawn;
        screen.pixels[pixelIndex(screen, x, y)] = colour;
    }
}

// floor(s * 255 / 256) of every byte is s - 1 for s > 0 and 0 for s = 0.
Colour scaleBytes(Colour source) {
    const Colour nonZeroBytes =
        ((source | ((source & 0x7F7F7F7Fu) + 0x7F7F7F7Fu)) & 0x80808080u) >> 7;
    return source - nonZeroBytes;
}

// Adds two pixels byte by byte, each byte saturating at 255.
Colour addSaturating(Colour a, Colour b) {
    const Colour highBits = 0x80808080u;
    const Colour differentHigh = (a ^ b) & highBits;
    Colour carries = a & b & highBits;
    const Colour lowSum = (a & ~highBits) + (b & ~highBits);
    carries |= differentHigh & lowSum;
    const Colour saturated = (carries << 1) - (carries >> 7);
    return (lowSum ^ differentHigh) | saturated;
}

bool isMask(Colour colour) {
    return (colour & 0x00FFFFFFu) == (maskColour & 0x00FFFFFFu);
}

// Adding onto a screen known to be freshly cleared needs no look at it: every
// target pixel is the background. That saves reading a whole frame in each
// battle frame, whose world view always follows the clear.
enum class Target : bool { AsDrawn, Background };

template <Target target>
void blitAddPixels(const Colour* source, Colour* destination, int count) {
    for (int i = 0; i < count; ++i) {
        const Colour under = target == Target::Background ? screenBackground : destination[i];
        destination[i] = isMask(source[i]) ? under : addSaturating(under, scaleBytes(source[i]));
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight pixels at a time: a saturating subtract of one is floor(s * 255 / 256)
// for every byte, and the add saturates on its own.
template <Target target>
__attribute__((target("avx2"))) void blitAddPixelsWide(const Colour* source, Colour* destination,
                                                       int count) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i maskLowBytes = _mm256_set1_epi32(static_cast<int>(maskColour & 0x00FFFFFFu));
    const __m256i ones = _mm256_set1_epi8(1);
    const __m256i background = _mm256_set1_epi32(static_cast<int>(screenBackground));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        auto* at = reinterpret_cast<__m256i*>(destination + i);
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i));
        const __m256i d = target == Target::Background ? background : _mm256_loadu_si256(at);
        const __m256i masked = _mm256_cmpeq_epi32(_mm256_and_si256(s, lowBytes), maskLowBytes);
        const __m256i sum = _mm256_adds_epu8(d, _mm256_subs_epu8(s, ones));
        _mm256_storeu_si256(at, _mm256_blendv_epi8(sum, d, masked));
    }
    blitAddPixels<target>(source + i, destination + i, count - i);
}

const bool wideBlitAvailable = __builtin_cpu_supports("avx2");
#endif

template <Target target>
void blitAddRow(const Colour* source, Colour* destination, int count) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (wideBlitAvailable) {
        blitAddPixelsWide<target>(source, destination, count);
        return;
    }
#endif
    blitAddPixels<target>(source, destination, count);
}

}  // namespace

Image* screenImage() {
    return &screen;
}

int imageWidth(const Image* image) {
    return image != nullptr ? image->width : 0;
}

int imageHeight(const Image* image) {
    return image != nullptr ? image->height : 0;
}

const Colour* imagePixels(const Image* image) {
    touchScreen(image);
    return image != nullptr ? image->pixels.get() : nullptr;
}

Image* createImage(int width, int height) {
    if (imageCreationFailing || width <= 0 || height <= 0) {
        return nullptr;
    }
    const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::unique_ptr<Colour[]> pixels(new (std::nothrow) Colour[count]);
    auto* image = new (std::nothrow) Image;
    if (pixels == nullptr || image == nullptr) {
        delete image;
        return nullptr;
    }
    std::fill_n(pixels.get(), count, maskColour);
    image->width = width;
    image->height = height;
    image->pixels = std::move(pixels);
    return image;
}

void destroyImage(Image* image) {
    if (image != &screen) {
        delete image;
    }
}

Colour readPixel(const Image* image, float x, float y) {
    int column = 0;
    int row = 0;
    if (image == nullptr || !wholeIndex(x, image->width, column) ||
        !wholeIndex(y, image->height, row)) {
        return white;
    }
    touchScreen(image);
    return image->pixels[pixelIndex(*image, column, row)];
}

void plot(Image* image, float x, float y) {
    int column = 0;
    int row = 0;
    if (image == nullptr || !wholeIndex(x, image->width, column) ||
        !wholeIndex(y, image->height, row)) {
        return;
    }
    if (image == &screen) {
        settleScreen();
        screenState = ScreenState::Drawn;
    }
    image->pixels[pixelIndex(*image, column, row)] = drawingColour;
}

void setColour(Colour colour) {
    drawingColour = colour;
}

Colour currentColour() {
    return drawingColour;
}

void drawLine(float x1, float y1, float x2, float y2) {
    drawLine(x1, y1, x2, y2, drawingColour);
}

void drawLine(float x1, float y1, float x2, float y2, Colour colour) {
    int x = clampedWholeCoordinate(x1);
    int y = clampedWholeCoordinate(y1);
    const int endX = clampedWholeCoordinate(x2);
    const int endY = clampedWholeCoordinate(y2);
    const int extentX = std::abs(endX - x);
    const int extentY = std::abs(endY - y);
    const int stepX = endX >= x ? 1 : -1;
    const int stepY = endY >= y ? 1 : -1;

    // The major axis has the larger extent, x on a tie.
    const bool xMajor = extentX >= extentY;
    const int major = xMajor ? extentX : extentY;
    const int minor = xMajor ? extentY : extentX;
    int decision = 2 * minor - major;
    for (int i = 0; i <= major; ++i) {
        putScreenPixel(x, y, colour);
        if (decision >= 0) {
            if (xMajor) {
                y += stepY;
            } else {
                x += stepX;
            }
            decision -= 2 * major;
        }
        decision += 2 * minor;
        if (xMajor) {
            x += stepX;
        } else {
            y += stepY;
        }
    }
}

void drawText(float x, float y, std::string_view text) {
    const int left = clampedWholeCoordinate(x);
    const int top = clampedWholeCoordinate(y);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const GlyphRows* glyph = glyphFor(text[i]);
        if (glyph == nullptr) {
            continue;
        }
        const int cellLeft = left + static_cast<int>(i) * 8;
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                if (((*glyph)[row] & (0x80u >> column)) != 0) {
                    putScreenPixel(cellLeft + column, top + row, drawingColour);
                }
            }
        }
    }
}

void blitAdd(const Image* image, float x1, float y1, float x2, float y2) {
    if (image == nullptr) {
        return;
    }
    const int left = std::max(clampedWholeCoordinate(x1), 0);
    const int top = std::max(clampedWholeCoordinate(y1), 0);
    const int right =
        std::min({clampedWholeCoordinate(x2), image->width - 1, left + screenWidth - 1});
    const int bottom =
        std::min({clampedWholeCoordinate(y2), image->height - 1, top + screenHeight - 1});
    if (right < left || bottom < top) {
        return;
    }
    const bool coversScreen = right - left + 1 == screenWidth && bottom - top + 1 == screenHeight;
    if (!coversScreen || image == &screen) {
        settleScreen();
    }
    const bool ontoBackground = screenState != ScreenState::Drawn;
    const auto addRow =
        ontoBackground ? blitAddRow<Target::Background> : blitAddRow<Target::AsDrawn>;
    screenState = ScreenState::Drawn;
    for (int row = top; row <= bottom; ++row) {
        addRow(&image->pixels[pixelIndex(*image, left, row)],
               &screen.pixels[pixelIndex(screen, 0, row - top)], right - left + 1);
    }
}

void lockScreen() {
    ++lockDepth;
}

void unlockScreen() {
    if (lockDepth == 0) {
        return;
    }
    --lockDepth;
    if (lockDepth == 0) {
        showFrame(screen);
    }
}

void clearScreen() {
    screenState = ScreenState::ClearPending;
}

void setImageCreationFailing(bool failing) {
    imageCreationFailing = failing;
}
