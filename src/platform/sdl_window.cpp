// The SDL2 window backend. The main thread owns the window, takes its events
// and shows finished frames; the game runs on a thread of its own, where it
// only draws, reads the key table and hands each finished frame over. Showing
// frames on the game's thread made the game run slow, as its 10 ms pause is
// its only clock.
#include <SDL.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/sdl_fullscreen.h"
#include "platform/sdl_keymap.h"
#include "platform/system.h"

namespace {

constexpr int pixelCount = screenWidth * screenHeight;
constexpr int screenPitch = screenWidth * static_cast<int>(sizeof(Colour));
constexpr Uint32 eventWaitMs = 100;  // a lost wake-up costs this much, never a hang

struct Backend {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Uint32 frameEvent = 0;  // a finished frame is waiting
    Uint32 endEvent = 0;    // the game has returned

    // The game copies each finished frame into `waiting`; the main thread swaps
    // it with `shown`, so neither side ever sees half a frame.
    std::mutex frameMutex;
    std::vector<Colour> waiting = std::vector<Colour>(pixelCount, screenBackground);
    bool frameFresh = false;
    std::vector<Colour> shown = std::vector<Colour>(pixelCount, screenBackground);
    // At most one frame event sits in the queue however fast frames come.
    std::atomic<bool> wakePosted{false};
    bool wakeDue = false;  // game thread only: a frame was handed over, no wake-up yet

    std::atomic<bool> gameEnded{false};
    std::atomic<bool> statusGiven{false};
    std::atomic<int> status{0};
};

Backend& backend() {
    static Backend state;
    return state;
}

bool pushEvent(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    return SDL_PushEvent(&event) == 1;
}

// The one line the program ever prints.
void reportSetupFailure(const char* step) {
    std::string line =
        std::string("Zendorak: cannot open its window: ") + step + " failed: " + SDL_GetError();
    std::replace(line.begin(), line.end(), '\n', ' ');
    line += '\n';
    static_cast<void>(std::fputs(line.c_str(), stderr));  // nowhere left to complain to
}

// Left to itself SDL falls back on drivers that show nothing when no display
// answers, and the game would run unseen. Wayland is tried only where a
// compositor is named, as its library complains on standard error otherwise.
std::string displayDrivers() {
    std::string drivers;
    for (int index = 0; index < SDL_GetNumVideoDrivers(); ++index) {
        const char* driver = SDL_GetVideoDriver(index);
        const std::string_view name = driver == nullptr ? "" : driver;
        const bool showsNothing =
            name.empty() || name == "offscreen" || name == "dummy" || name == "evdev";
        const bool noCompositor = name == "wayland" && SDL_getenv("WAYLAND_DISPLAY") == nullptr;
        if (showsNothing || noCompositor) {
            continue;
        }
        if (!drivers.empty()) {
            drivers += ',';
        }
        drivers += name;
    }
    return drivers;
}

// In the screen's own pixel format, so a frame goes up without conversion.
SDL_Texture* createScreenTexture(SDL_Renderer* renderer) {
    return SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                             screenWidth, screenHeight);
}

bool openWindow(Backend& sdl) {
    // SDL_VIDEODRIVER in the environment still wins over this.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, displayDrivers().c_str());
    // Without this SDL turns Ctrl+C and kill into a quit event, which the game
    // never sees; the process must still end on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        reportSetupFailure("SDL_Init");
        return false;
    }
    sdl.window = SDL_CreateWindow("Zendorak", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  screenWidth, screenHeight, 0);
    if (sdl.window == nullptr) {
        reportSetupFailure("SDL_CreateWindow");
        return false;
    }
    sdl.renderer = SDL_CreateRenderer(sdl.window, -1, 0);
    if (sdl.renderer == nullptr) {
        reportSetupFailure("SDL_CreateRenderer");
        return false;
    }
    // Full screen shows the whole picture as large as fits, its shape kept.
    if (SDL_RenderSetLogicalSize(sdl.renderer, screenWidth, screenHeight) != 0) {
        reportSetupFailure("SDL_RenderSetLogicalSize");
        return false;
    }
    sdl.texture = createScreenTexture(sdl.renderer);
    if (sdl.texture == nullptr) {
        reportSetupFailure("SDL_CreateTexture");
        return false;
    }
    const Uint32 firstEvent = SDL_RegisterEvents(2);
    if (firstEvent == static_cast<Uint32>(-1)) {
        reportSetupFailure("SDL_RegisterEvents");
        return false;
    }
    sdl.frameEvent = firstEvent;
    sdl.endEvent = firstEvent + 1;
    SDL_StopTextInput();  // the game reads held keys only; no input method in the way
    return true;
}

void closeWindow(Backend& sdl) {
    if (sdl.texture != nullptr) {
        SDL_DestroyTexture(sdl.texture);
        sdl.texture = nullptr;
    }
    if (sdl.renderer != nullptr) {
        SDL_DestroyRenderer(sdl.renderer);
        sdl.renderer = nullptr;
    }
    if (sdl.window != nullptr) {
        SDL_DestroyWindow(sdl.window);
        sdl.window = nullptr;
    }
    SDL_Quit();
}

// Failures here only cost a frame; the next one tries again.
void present(Backend& sdl) {
    SDL_UpdateTexture(sdl.texture, nullptr, sdl.shown.data(), screenPitch);
    SDL_RenderClear(sdl.renderer);
    SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
    SDL_RenderPresent(sdl.renderer);
}

void presentWaitingFrame(Backend& sdl) {
    // Cleared before taking, so a frame handed over from here on wakes us again.
    sdl.wakePosted.store(false);
    {
        const std::lock_guard<std::mutex> lock(sdl.frameMutex);
        if (!sdl.frameFresh) {
            return;
        }
        sdl.shown.swap(sdl.waiting);
        sdl.frameFresh = false;
    }
    present(sdl);
}

void takeKey(Backend& sdl, const SDL_KeyboardEvent& keyEvent) {
    if (keyEvent.repeat != 0) {
        return;  // only held or not matters
    }
    const bool pressed = keyEvent.state == SDL_PRESSED;
    const int code = setOneCodeFor(keyEvent.keysym.scancode);
    // Alt+Enter belongs to the window; the game never sees that Enter.
    if (pressed && code == key::enter && (keyEvent.keysym.mod & KMOD_ALT) != 0) {
        toggleFullScreen(sdl.window);
        present(sdl);
        return;
    }
    if (code >= 0) {
        setKeyHeld(code, pressed);
    }
}

void takeWindowEvent(Backend& sdl, const SDL_WindowEvent& window) {
    switch (window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            releaseAllKeys();  // a key let go elsewhere must not stay held
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            present(sdl);
            break;
        default:
            break;  // closing the window is not the game's business
    }
}

void takeEvent(Backend& sdl, const SDL_Event& event) {
    if (event.type == sdl.frameEvent) {
        presentWaitingFrame(sdl);
    } else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        takeKey(sdl, event.key);
    } else if (event.type == SDL_WINDOWEVENT) {
        takeWindowEvent(sdl, event.window);
    } else if (event.type == SDL_RENDER_DEVICE_RESET) {
        // Every texture went with the device.
        SDL_DestroyTexture(sdl.texture);
        sdl.texture = createScreenTexture(sdl.renderer);
        present(sdl);
    } else if (event.type == SDL_RENDER_TARGETS_RESET) {
        present(sdl);
    }
}

void wakeMainThread(Backend& sdl) {
    if (!sdl.wakePosted.exchange(true) && !pushEvent(sdl.frameEvent)) {
        sdl.wakePosted.store(false);
    }
}

// Linux lets a sleep overrun by 50 us by default, to batch wake-ups; the
// game's pause is its clock, so its thread asks for the least.
void tightenSleeps() {
#if defined(__linux__)
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

void runEvents(Backend& sdl) {
    SDL_Event event;
    while (!sdl.gameEnded.load()) {
        if (SDL_WaitEventTimeout(&event, eventWaitMs) == 1) {
            takeEvent(sdl, event);
        }
    }
}

}  // namespace

bool openScreen() {
    // The main thread opened the window before the game started.
    return backend().window != nullptr;
}

void showFrame(const Image& screen) {
    Backend& sdl = backend();
    const Colour* pixels = imagePixels(&screen);
    if (pixels == nullptr || imageWidth(&screen) != screenWidth ||
        imageHeight(&screen) != screenHeight) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(sdl.frameMutex);
        std::copy_n(pixels, pixelCount, sdl.waiting.begin());
        sdl.frameFresh = true;
    }
    // Normally the pause after the frame wakes the main thread; frames drawn
    // without a pause between them wake it here.
    if (sdl.wakeDue) {
        wakeMainThread(sdl);
    }
    sdl.wakeDue = true;
}

void sleepMs(int milliseconds) {
    // Waking the main thread sets the X server and the renderer going, and on
    // a machine with few cores they may take the processor from this thread
    // for a millisecond or two. Inside the pause, that costs the game nothing.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    Backend& sdl = backend();
    if (sdl.wakeDue) {
        sdl.wakeDue = false;
        wakeMainThread(sdl);
    }
    std::this_thread::sleep_until(end);
}

void endProgram(int status) {
    Backend& sdl = backend();
    sdl.status.store(status);
    sdl.statusGiven.store(true);
}

int runWithWindow(int (*game)()) {
    Backend& sdl = backend();
    if (!openWindow(sdl)) {
        closeWindow(sdl);
        return 1;
    }
    present(sdl);
    std::thread gameThread([&sdl, game] {
        tightenSleeps();
        const int returned = game();
        if (!sdl.statusGiven.load()) {
            sdl.status.store(returned);
        }
        sdl.gameEnded.store(true);
        pushEvent(sdl.endEvent);
    });
    runEvents(sdl);
    gameThread.join();
    closeWindow(sdl);
    return sdl.status.load();
}
