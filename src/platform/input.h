// The key table: 128 held flags by PC set-1 scan code, kept current by the
// window backend and only read by the game.
#pragma once

namespace key {
constexpr int escape = 1;
constexpr int q = 16;
constexpr int enter = 28;
constexpr int l = 38;
constexpr int space = 57;
constexpr int up = 72;
constexpr int left = 75;
constexpr int right = 77;
constexpr int down = 80;
}  // namespace key

constexpr int keyCount = 128;

// True while the key is held; false for codes outside 0 to 127.
bool keyDown(int code);

// What the backend reports for each key event; other codes are ignored.
void setKeyHeld(int code, bool held);

// Called when the focus changes: every key reads released until pressed again.
void releaseAllKeys();
