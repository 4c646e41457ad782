// The end-to-end test's eyes and the one hand xdotool lacks: reads pixels,
// lines and texts out of xwd captures of the game window, sends the window
// manager's close request, and times the start-up from outside the game.
//
//   window_probe size CAPTURE                      width and height
//   window_probe pixel CAPTURE X Y                 the pixel as rrggbb
//   window_probe count CAPTURE X0 Y0 X1 Y1 KIND    matching pixels in the rectangle
//   window_probe digest CAPTURE X0 Y0 X1 Y1        a hash of the rectangle's pixels
//   window_probe text CAPTURE X Y LENGTH KIND      the text in LENGTH cells of the game's font
//   window_probe aim CAPTURE                       the aiming lines: angle and power
//   window_probe health CAPTURE                    both health bars' lengths
//   window_probe close WINDOW                      asks the window to close, as its button does
//   window_probe startup RUNS PROGRAM              start-up time to the first title frame
//
// Rectangles include both corners. KIND is "lit" (anything but black), a
// colour class ("white", "red", "green", "blue", "yellow", "grey", "magenta",
// each with a little tolerance) or an exact "#rrggbb". The game draws its
// texts and lines in full 0xFF colours, while the world picture reaches the
// screen through the additive copy and tops out at 254, so "#ffffff" tells a
// text pixel from a white wall and "#ff0000" the barrel from a red roof.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/font8x8.h"

namespace {

struct Rgb {
    int red;
    int green;
    int blue;
};

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    [[nodiscard]] Rgb at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

struct Rect {
    int x0;
    int y0;
    int x1;
    int y1;
};

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "window_probe: %s\n", message.c_str());
    std::exit(2);
}

int toInt(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') {
        die(std::string("not a number: ") + text);
    }
    return static_cast<int>(value);
}

std::uint32_t bigEndian32(const std::vector<unsigned char>& bytes, std::size_t offset) {
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

// How to take one channel out of a true-colour pixel, scaled to 0..255
// whatever the mask's width.
struct ChannelMask {
    std::uint32_t mask;
    int shift;
    std::uint32_t maximum;

    explicit ChannelMask(std::uint32_t bits)
        : mask(bits),
          shift(bits == 0 ? 0 : std::countr_zero(bits)),
          maximum(bits == 0 ? 1 : bits >> shift) {}

    [[nodiscard]] int of(std::uint32_t pixel) const {
        const std::uint32_t value = (pixel & mask) >> shift;
        return static_cast<int>(maximum == 255 ? value : value * 255 / maximum);
    }
};

// The xwd file format: a header of big-endian 32-bit fields (the window name
// follows it within header_size), the colour map, then the image rows in the
// server's byte order. Only true-colour images in Z format occur here.
Capture readCapture(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        die("cannot read " + path);
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    constexpr std::size_t headerFields = 25;
    if (bytes.size() < headerFields * 4) {
        die(path + " is too short for an xwd file");
    }
    auto field = [&bytes](int index) { return bigEndian32(bytes, std::size_t(index) * 4); };
    const std::uint32_t headerSize = field(0);
    const std::uint32_t version = field(1);
    const std::uint32_t format = field(2);
    const int width = static_cast<int>(field(4));
    const int height = static_cast<int>(field(5));
    const std::uint32_t byteOrder = field(7);
    const std::uint32_t bitsPerPixel = field(11);
    const std::uint32_t bytesPerLine = field(12);
    const std::uint32_t visualClass = field(13);
    const ChannelMask red(field(14));
    const ChannelMask green(field(15));
    const ChannelMask blue(field(16));
    const std::uint32_t colourCount = field(19);
    constexpr std::uint32_t zPixmap = 2;
    if (version != 7 || format != zPixmap ||
        (visualClass != TrueColor && visualClass != DirectColor)) {
        die(path + " is not a true-colour xwd capture");
    }
    if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        die(path + " has " + std::to_string(bitsPerPixel) + " bits per pixel");
    }
    constexpr std::size_t colourEntrySize = 12;
    const std::size_t dataStart = headerSize + colourCount * colourEntrySize;
    if (width <= 0 || height <= 0 ||
        bytes.size() < dataStart + std::size_t{bytesPerLine} * static_cast<std::size_t>(height)) {
        die(path + " is cut short");
    }
    const std::size_t pixelBytes = bitsPerPixel / 8;
    Capture capture{width, height, std::vector<Rgb>(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t offset = dataStart + std::size_t(y) * bytesPerLine + x * pixelBytes;
            std::uint32_t pixel = 0;
            for (std::size_t i = 0; i < pixelBytes; ++i) {
                const std::size_t byte = byteOrder == LSBFirst ? pixelBytes - 1 - i : i;
                pixel = (pixel << 8) | bytes[offset + byte];
            }
            capture.pixels[std::size_t(y) * width + x] = {red.of(pixel), green.of(pixel),
                                                          blue.of(pixel)};
        }
    }
    return capture;
}

bool near(int value, int target) {
    constexpr int tolerance = 48;
    return std::abs(value - target) <= tolerance;
}

bool matches(const Rgb& pixel, std::string_view kind) {
    if (kind == "lit") {
        return pixel.red != 0 || pixel.green != 0 || pixel.blue != 0;
    }
    if (kind.size() == 7 && kind[0] == '#') {
        const unsigned long value = std::strtoul(std::string(kind.substr(1)).c_str(), nullptr, 16);
        return pixel.red == static_cast<int>((value >> 16) & 0xFF) &&
               pixel.green == static_cast<int>((value >> 8) & 0xFF) &&
               pixel.blue == static_cast<int>(value & 0xFF);
    }
    struct ColourClass {
        std::string_view name;
        Rgb colour;
    };
    constexpr std::array<ColourClass, 7> classes{{
        {"white", {255, 255, 255}},
        {"red", {255, 0, 0}},
        {"green", {0, 255, 0}},
        {"blue", {0, 0, 255}},
        {"yellow", {255, 255, 0}},
        {"grey", {128, 128, 128}},
        {"magenta", {255, 0, 255}},
    }};
    const auto* found =
        std::find_if(classes.begin(), classes.end(),
                     [kind](const ColourClass& entry) { return entry.name == kind; });
    if (found == classes.end()) {
        die("unknown colour kind: " + std::string(kind));
    }
    return near(pixel.red, found->colour.red) && near(pixel.green, found->colour.green) &&
           near(pixel.blue, found->colour.blue);
}

// The rectangle cut down to the capture; empty (x0 > x1) when it lies outside.
Rect clip(const Capture& capture, Rect rect) {
    return {std::max(rect.x0, 0), std::max(rect.y0, 0), std::min(rect.x1, capture.width - 1),
            std::min(rect.y1, capture.height - 1)};
}

Rect rectFrom(char** arguments) {
    return {toInt(arguments[0]), toInt(arguments[1]), toInt(arguments[2]), toInt(arguments[3])};
}

struct Point {
    int x;
    int y;
};

std::vector<Point> matchingPoints(const Capture& capture, Rect rect, std::string_view kind) {
    std::vector<Point> points;
    const Rect area = clip(capture, rect);
    for (int y = area.y0; y <= area.y1; ++y) {
        for (int x = area.x0; x <= area.x1; ++x) {
            if (matches(capture.at(x, y), kind)) {
                points.push_back({x, y});
            }
        }
    }
    return points;
}

int printDigest(const Capture& capture, Rect rect) {
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    const Rect area = clip(capture, rect);
    for (int y = area.y0; y <= area.y1; ++y) {
        for (int x = area.x0; x <= area.x1; ++x) {
            const Rgb pixel = capture.at(x, y);
            for (int value : {pixel.red, pixel.green, pixel.blue}) {
                hash = (hash ^ static_cast<std::uint64_t>(value)) * 1099511628211ULL;
            }
        }
    }
    std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}

// Each 8 x 8 cell is matched against the game's own glyphs; a cell that is
// no glyph reads as '?', so a smudged or shifted text never passes.
int printText(const Capture& capture, int x, int y, int length, std::string_view kind) {
    std::string text;
    for (int cell = 0; cell < length; ++cell) {
        GlyphRows rows{};
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                const int px = x + cell * 8 + column;
                const int py = y + row;
                if (px >= 0 && py >= 0 && px < capture.width && py < capture.height &&
                    matches(capture.at(px, py), kind)) {
                    rows[row] = static_cast<std::uint8_t>(rows[row] | (0x80 >> column));
                }
            }
        }
        char found = '?';
        for (char character = ' '; character <= '~'; ++character) {
            const GlyphRows* glyph = glyphFor(character);
            if (glyph != nullptr && *glyph == rows) {
                found = character;
                break;
            }
        }
        text += found;
    }
    std::printf("%s\n", text.c_str());
    return 0;
}

double distance(Point a, Point b) {
    return std::hypot(double(a.x - b.x), double(a.y - b.y));
}

// The barrel is the only thing drawn in exact #ff0000 below the status bar
// (the world's reds come through the additive copy as 254), the power line
// and sparks the only things in exact #ffff00. Both lines start at the pivot,
// the yellow one drawn last and shorter (unless the power is 100, which the
// tests avoid), so the two pixels of the drawing farthest apart are the pivot,
// yellow, and the barrel's end, red. Red without yellow is the core of a shot
// in flight: no aiming lines then ("none"). Sparks near the lines may hide
// which end is which ("unclear").
// Prints the barrel's angle in whole degrees, counter-clockwise from pointing
// right as the game counts it, the power line's length in tenths of a pixel
// (0.64 pixel per point of power) and the pivot.
int printAim(const Capture& capture) {
    const Rect field{0, 34, capture.width - 1, 457};
    const std::vector<Point> red = matchingPoints(capture, field, "#ff0000");
    const std::vector<Point> yellow = matchingPoints(capture, field, "#ffff00");
    if (red.empty() || yellow.empty()) {
        std::puts("none");
        return 0;
    }
    std::vector<Point> all = red;
    all.insert(all.end(), yellow.begin(), yellow.end());
    Point first = all[0];
    Point second = all[0];
    for (const Point& a : all) {
        for (const Point& b : all) {
            if (distance(a, b) > distance(first, second)) {
                first = a;
                second = b;
            }
        }
    }
    auto isYellow = [&capture](Point p) { return matches(capture.at(p.x, p.y), "#ffff00"); };
    if (isYellow(first) == isYellow(second)) {
        std::puts("unclear");
        return 0;
    }
    const Point pivot = isYellow(first) ? first : second;
    const Point end = isYellow(first) ? second : first;
    // The power line: yellow pixels within a pixel of the barrel's line.
    const double barrel = distance(pivot, end);
    const double unitX = (end.x - pivot.x) / barrel;
    const double unitY = (end.y - pivot.y) / barrel;
    double powerLength = 0.0;
    for (const Point& point : yellow) {
        const double offsetX = point.x - pivot.x;
        const double offsetY = point.y - pivot.y;
        const double along = offsetX * unitX + offsetY * unitY;
        const double across = std::abs(offsetX * unitY - offsetY * unitX);
        if (across <= 1.0 && along >= 0.0 && along <= barrel) {
            powerLength = std::max(powerLength, distance(point, pivot));
        }
    }
    constexpr double degreesPerRadian = 180.0 / 3.141592653589793;
    double angle = std::atan2(-unitY, unitX) * degreesPerRadian;
    if (angle < 0.0) {
        angle += 360.0;
    }
    std::printf("%d %d %d %d\n", static_cast<int>(std::lround(angle)) % 360,
                static_cast<int>(std::lround(powerLength * 10.0)), pivot.x, pivot.y);
    return 0;
}

// The coloured part of each bar: red from x = 2 for player 1, blue from
// x = 538 for player 2; full health (100) is 101 pixels. The longest run over
// the bar's rows 2 to 12 counts, as a rising spark may cover a pixel or two.
int printHealth(const Capture& capture) {
    auto barLength = [&capture](int from, std::string_view kind) {
        int longest = 0;
        for (int row = 2; row <= 12 && row < capture.height; ++row) {
            int length = 0;
            while (from + length < capture.width && matches(capture.at(from + length, row), kind)) {
                ++length;
            }
            longest = std::max(longest, length);
        }
        return longest;
    };
    std::printf("%d %d\n", barLength(2, "#ff0000"), barLength(538, "#0000ff"));
    return 0;
}

int errorsSeen = 0;

int countError(Display* /*display*/, XErrorEvent* /*error*/) {
    ++errorsSeen;
    return 0;
}

// The same message a window manager's close button sends.
int sendClose(const char* windowText) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        die("cannot open the display");
    }
    const Window window = std::strtoul(windowText, nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSetErrorHandler(countError);
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    if (errorsSeen != 0) {
        die(std::string("could not send the close request to window ") + windowText);
    }
    return 0;
}

std::optional<Window> findNamedWindow(Display* display, Window parent, const char* name) {
    Window root = 0;
    Window ancestor = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &ancestor, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* windowName = nullptr;
        if (XFetchName(display, children[i], &windowName) != 0 && windowName != nullptr) {
            if (std::string_view(windowName) == name) {
                found = children[i];
            }
            XFree(windowName);
        }
        if (!found) {
            found = findNamedWindow(display, children[i], name);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// Any lit pixel among the cells of the title "ZENDORAK" (x 288..351, y 5..12).
bool titleShown(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return false;
    }
    XImage* image = XGetImage(display, window, 288, 5, 64, 8, AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr) {
        return false;
    }
    bool lit = false;
    for (int y = 0; y < 8 && !lit; ++y) {
        for (int x = 0; x < 64 && !lit; ++x) {
            lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
        }
    }
    XDestroyImage(image);
    return lit;
}

struct StartUp {
    double windowMs;
    double titleMs;
};

// Starts the program and polls the X server as fast as it answers: when a
// window named Zendorak first exists, and when its title cells first hold a
// lit pixel. The game is then stopped with SIGTERM.
StartUp timeStartUp(Display* display, char** program) {
    using Clock = std::chrono::steady_clock;
    // The server closes a stopped game's window only when it notices the
    // client gone; until then a search could find the old one.
    for (int wait = 0; findNamedWindow(display, DefaultRootWindow(display), "Zendorak"); ++wait) {
        if (wait == 500) {
            die("a window named Zendorak is open already");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child < 0) {
        die("cannot fork");
    }
    if (child == 0) {
        execv(program[0], program);
        _exit(127);
    }
    auto elapsedMs = [&start] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    StartUp result{-1.0, -1.0};
    constexpr double giveUpMs = 10000.0;
    while (elapsedMs() < giveUpMs) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            die("the game ended before its title showed");
        }
        // Searched anew each time: SDL may replace its first window by one
        // that suits its renderer, under the same name.
        const std::optional<Window> window =
            findNamedWindow(display, DefaultRootWindow(display), "Zendorak");
        if (window && result.windowMs < 0.0) {
            result.windowMs = elapsedMs();
        }
        if (window && titleShown(display, *window)) {
            result.titleMs = elapsedMs();
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (result.titleMs < 0.0) {
        die("no title frame within 10 s");
    }
    return result;
}

int measureStartUp(int runs, char** program) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        die("cannot open the display");
    }
    XSetErrorHandler(countError);  // the window may vanish between two requests
    std::vector<double> titles;
    for (int run = 0; run < runs; ++run) {
        const StartUp startUp = timeStartUp(display, program);
        std::printf("run %d: window %.1f ms, first title frame %.1f ms\n", run + 1,
                    startUp.windowMs, startUp.titleMs);
        titles.push_back(startUp.titleMs);
    }
    std::sort(titles.begin(), titles.end());
    std::printf("first title frame: median %.1f ms, min %.1f ms, max %.1f ms over %d runs\n",
                titles[titles.size() / 2], titles.front(), titles.back(), runs);
    XCloseDisplay(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    auto need = [argc, command](int count) {
        if (argc != count + 2) {
            die(std::string(command) + " takes " + std::to_string(count) + " arguments");
        }
    };
    if (command == "close") {
        need(1);
        return sendClose(argv[2]);
    }
    if (command == "startup") {
        if (argc < 4) {
            die("startup takes RUNS PROGRAM [ARGUMENTS...]");
        }
        return measureStartUp(toInt(argv[2]), argv + 3);
    }
    if (argc < 3) {
        die("usage: window_probe COMMAND CAPTURE ...; see the head of window_probe.cpp");
    }
    if (command == "size") {
        need(1);
        const Capture capture = readCapture(argv[2]);
        std::printf("%d %d\n", capture.width, capture.height);
        return 0;
    }
    const Capture capture = readCapture(argv[2]);
    if (command == "pixel") {
        need(3);
        const int x = toInt(argv[3]);
        const int y = toInt(argv[4]);
        if (x < 0 || y < 0 || x >= capture.width || y >= capture.height) {
            die("pixel outside the capture");
        }
        const Rgb pixel = capture.at(x, y);
        std::printf("%02x%02x%02x\n", pixel.red, pixel.green, pixel.blue);
        return 0;
    }
    if (command == "count") {
        need(6);
        std::printf("%zu\n", matchingPoints(capture, rectFrom(argv + 3), argv[7]).size());
        return 0;
    }
    if (command == "digest") {
        need(5);
        return printDigest(capture, rectFrom(argv + 3));
    }
    if (command == "text") {
        need(5);
        return printText(capture, toInt(argv[3]), toInt(argv[4]), toInt(argv[5]), argv[6]);
    }
    if (command == "aim") {
        need(1);
        return printAim(capture);
    }
    if (command == "health") {
        need(1);
        return printHealth(capture);
    }
    die("unknown command: " + std::string(command));
}
