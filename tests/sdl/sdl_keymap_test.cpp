// The translation from SDL's scan codes to the key table's set-1 codes.
#include "platform/sdl_keymap.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

struct Expected {
    SDL_Scancode scancode;
    int setOne;
};

std::vector<SDL_Scancode> everyScancode() {
    std::vector<SDL_Scancode> all;
    all.reserve(SDL_NUM_SCANCODES);
    for (int value = 0; value < SDL_NUM_SCANCODES; ++value) {
        all.push_back(static_cast<SDL_Scancode>(value));
    }
    return all;
}

TEST(SdlKeymap, GivesTheSetOneCodeOfEachKey) {
    const std::vector<Expected> cases = {
        // The keys the game reads.
        {SDL_SCANCODE_ESCAPE, 1},
        {SDL_SCANCODE_Q, 16},
        {SDL_SCANCODE_RETURN, 28},
        {SDL_SCANCODE_L, 38},
        {SDL_SCANCODE_SPACE, 57},
        {SDL_SCANCODE_UP, 72},
        {SDL_SCANCODE_LEFT, 75},
        {SDL_SCANCODE_RIGHT, 77},
        {SDL_SCANCODE_DOWN, 80},
        // The keypad stands in for them whatever NumLock says.
        {SDL_SCANCODE_KP_8, 72},
        {SDL_SCANCODE_KP_4, 75},
        {SDL_SCANCODE_KP_6, 77},
        {SDL_SCANCODE_KP_2, 80},
        {SDL_SCANCODE_KP_ENTER, 28},
        // Elsewhere on the keyboard.
        {SDL_SCANCODE_1, 2},
        {SDL_SCANCODE_0, 11},
        {SDL_SCANCODE_BACKSPACE, 14},
        {SDL_SCANCODE_TAB, 15},
        {SDL_SCANCODE_P, 25},
        {SDL_SCANCODE_LCTRL, 29},
        {SDL_SCANCODE_A, 30},
        {SDL_SCANCODE_GRAVE, 41},
        {SDL_SCANCODE_LSHIFT, 42},
        {SDL_SCANCODE_Z, 44},
        {SDL_SCANCODE_M, 50},
        {SDL_SCANCODE_SLASH, 53},
        {SDL_SCANCODE_RSHIFT, 54},
        {SDL_SCANCODE_RALT, 56},
        {SDL_SCANCODE_CAPSLOCK, 58},
        {SDL_SCANCODE_F1, 59},
        {SDL_SCANCODE_F10, 68},
        {SDL_SCANCODE_HOME, 71},
        {SDL_SCANCODE_KP_5, 76},
        {SDL_SCANCODE_PAGEDOWN, 81},
        {SDL_SCANCODE_DELETE, 83},
        {SDL_SCANCODE_F11, 87},
        {SDL_SCANCODE_F12, 88},
    };
    for (const Expected& key : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(key.scancode));
        EXPECT_EQ(setOneCodeFor(key.scancode), key.setOne);
    }
}

TEST(SdlKeymap, LeavesKeysWithoutOneSetOneCodeUnmapped) {
    const std::vector<SDL_Scancode> unmapped = {
        SDL_SCANCODE_UNKNOWN,
        SDL_SCANCODE_PRINTSCREEN,
        SDL_SCANCODE_PAUSE,
        SDL_SCANCODE_F13,
        SDL_SCANCODE_AUDIOPLAY,
        SDL_SCANCODE_MODE,
        SDL_SCANCODE_LANG1,
        SDL_SCANCODE_VOLUMEUP,
        static_cast<SDL_Scancode>(SDL_NUM_SCANCODES - 1),
    };
    for (const SDL_Scancode scancode : unmapped) {
        SCOPED_TRACE(static_cast<int>(scancode));
        EXPECT_EQ(setOneCodeFor(scancode), -1);
    }
}

TEST(SdlKeymap, EveryMappedCodeFitsTheKeyTable) {
    for (const SDL_Scancode scancode : everyScancode()) {
        const int code = setOneCodeFor(scancode);
        if (code != -1) {
            SCOPED_TRACE(SDL_GetScancodeName(scancode));
            EXPECT_GE(code, 1);
            EXPECT_LE(code, 127);
        }
    }
}

// Keys share a code only where set 1 itself tells them apart by an E0 prefix
// alone, or where two keyboards put the same key under two names.
TEST(SdlKeymap, KeysShareACodeOnlyWithTheirTwins) {
    const std::set<std::set<SDL_Scancode>> twins = {
        {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER},
        {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL},
        {SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_NONUSHASH},
        {SDL_SCANCODE_SLASH, SDL_SCANCODE_KP_DIVIDE},
        {SDL_SCANCODE_LALT, SDL_SCANCODE_RALT},
        {SDL_SCANCODE_KP_7, SDL_SCANCODE_HOME},
        {SDL_SCANCODE_KP_8, SDL_SCANCODE_UP},
        {SDL_SCANCODE_KP_9, SDL_SCANCODE_PAGEUP},
        {SDL_SCANCODE_KP_4, SDL_SCANCODE_LEFT},
        {SDL_SCANCODE_KP_6, SDL_SCANCODE_RIGHT},
        {SDL_SCANCODE_KP_1, SDL_SCANCODE_END},
        {SDL_SCANCODE_KP_2, SDL_SCANCODE_DOWN},
        {SDL_SCANCODE_KP_3, SDL_SCANCODE_PAGEDOWN},
        {SDL_SCANCODE_KP_0, SDL_SCANCODE_INSERT},
        {SDL_SCANCODE_KP_PERIOD, SDL_SCANCODE_DELETE},
    };
    std::map<int, std::set<SDL_Scancode>> keysByCode;
    for (const SDL_Scancode scancode : everyScancode()) {
        const int code = setOneCodeFor(scancode);
        if (code != -1) {
            keysByCode[code].insert(scancode);
        }
    }
    std::set<std::set<SDL_Scancode>> shared;
    for (const auto& [code, keys] : keysByCode) {
        if (keys.size() > 1) {
            shared.insert(keys);
        }
    }
    EXPECT_EQ(shared, twins);
}

}  // namespace
