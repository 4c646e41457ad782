// The key table. The window backend writes it from its own thread while the
// game reads it, so every flag is atomic; a read never blocks.
#include "platform/input.h"

#include <array>
#include <atomic>

namespace {

std::array<std::atomic<bool>, keyCount> heldKeys{};

bool isKeyCode(int code) {
    return code >= 0 && code < keyCount;
}

}  // namespace

bool keyDown(int code) {
    return isKeyCode(code) && heldKeys[code].load(std::memory_order_relaxed);
}

void setKeyHeld(int code, bool held) {
    if (isKeyCode(code)) {
        heldKeys[code].store(held, std::memory_order_relaxed);
    }
}

void releaseAllKeys() {
    for (auto& key : heldKeys) {
        key.store(false, std::memory_order_relaxed);
    }
}
