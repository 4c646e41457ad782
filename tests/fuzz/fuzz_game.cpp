// libFuzzer entry: the input bytes become a seed and a key script, played frame
// by frame from a fresh start, with the rules of the game record checked after
// every frame. A broken rule aborts, so the fuzzer keeps the input.
//
// Input: 4 bytes of seed (little end first), then pairs of bytes (a, b):
//   a 0..127   key a held when b >= 128, released otherwise; then b & 127 frames
//   a 128..255 a command, b its argument (see playCommand)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../soak/frame_rules.h"
#include "../test_support.h"

namespace {

// Enough for a battle with a few shots and a fall; more only slows the search.
constexpr int frameBudget = 2000;
// Building a battlefield costs as much as hundreds of frames: Space and Q held
// together would otherwise build one every other frame.
constexpr int battleBudget = 12;

const int chords[][5] = {
    {key::q, key::enter, -1, -1, -1},
    {key::space, key::escape, -1, -1, -1},
    {key::up, key::down, key::left, key::right, -1},
    {key::up, key::down, key::left, key::right, key::enter},
    {key::escape, key::l, -1, -1, -1},
    {key::space, key::l, key::enter, -1, -1},
    {key::q, key::space, key::enter, key::escape, key::l},
    {key::left, key::right, key::enter, -1, -1},
};

struct Player {
    std::uint32_t seed = 0;
    int framesLeft = frameBudget;
    int battlesLeft = battleBudget;
    bool pictureFailing = false;
    FrameWatch watch;
};

[[noreturn]] void brokenRule(const Player& player, const std::string& rule) {
    std::fprintf(stderr, "zendorak_fuzz: seed %u, %d frames in: %s\n", player.seed,
                 frameBudget - player.framesLeft, rule.c_str());
    std::abort();
}

// One frame pass and its check. Esc on the title screen ends the game; like a
// player starting the program again, the script then goes on from a restart.
void playFrame(Player& player) {
    if (game.state != GameState::Battle) {
        player.watch.worldPictureMayBeMissing = player.pictureFailing;
    }
    const bool onTitle = game.state == GameState::Title;
    runFramePass();
    --player.framesLeft;
    if (onTitle && game.state == GameState::Battle && --player.battlesLeft == 0) {
        player.framesLeft = 0;
    }
    const std::string broken = checkFrame(player.watch);
    if (!broken.empty()) {
        brokenRule(player, broken);
    }
    if (game.state == GameState::Exit) {
        restartGame(player.seed);
        player.pictureFailing = false;
        watchFrom(player.watch);
    }
}

void playFrames(Player& player, int count) {
    for (int i = 0; i < count && player.framesLeft > 0; ++i) {
        playFrame(player);
    }
}

// Turns the current player's barrel with Left or Right until it reaches the
// angle, one degree per frame, then Enter until the shot has come down.
void aimAndFire(Player& player, int angle) {
    releaseAllKeys();
    while (game.state == GameState::Battle && player.framesLeft > 0 &&
           game.aimAngle[game.currentPlayer] != angle) {
        const int up = (angle - game.aimAngle[game.currentPlayer] + 361) % 361;
        holdOnly({up <= 180 ? key::left : key::right});
        playFrame(player);
    }
    holdOnly({key::enter});
    while (game.state == GameState::Battle && player.framesLeft > 0 &&
           (game.shot.inFlight == 0 && game.turnDelay == 0)) {
        playFrame(player);
    }
    releaseAllKeys();
    while (game.state == GameState::Battle && player.framesLeft > 0 && game.shot.inFlight == 1) {
        playFrame(player);
    }
}

void setPower(Player& player, int power) {
    releaseAllKeys();
    while (game.state == GameState::Battle && player.framesLeft > 0 &&
           game.aimPower[game.currentPlayer] != power) {
        holdOnly({game.aimPower[game.currentPlayer] < power ? key::up : key::down});
        playFrame(player);
    }
    releaseAllKeys();
}

void playCommand(Player& player, std::uint8_t command, std::uint8_t argument) {
    switch (command) {
        case 128:
            releaseAllKeys();
            playFrames(player, argument);
            break;
        case 129: {
            releaseAllKeys();
            for (int code : chords[argument % std::size(chords)]) {
                if (code >= 0) {
                    setKeyHeld(code, true);
                }
            }
            playFrames(player, 1 + argument / 8);
            break;
        }
        case 130:
            // A picture that cannot be created; only the next battle feels it.
            player.pictureFailing = (argument & 1) != 0;
            setImageCreationFailing(player.pictureFailing);
            break;
        case 131:
            aimAndFire(player, argument % 181 * 2);
            break;
        case 132:
            setPower(player, 2 + argument % 99);
            break;
        case 133:
            // Brings a battle near its end without the 76 hits it takes; health
            // only ever goes down, so the rules still hold.
            if (game.state == GameState::Battle) {
                const int p = 1 + (argument & 1);
                game.fortressHealth[p] =
                    std::min<std::uint8_t>(game.fortressHealth[p], 25 + (argument >> 1) % 8);
                watchFrom(player.watch);
            }
            break;
        case 134:
            playFrames(player, argument * 16);
            break;
        case 135:
            // Codes outside the key table must be ignored.
            setKeyHeld(argument % 2 == 0 ? -1 - argument : keyCount + argument, true);
            playFrames(player, 1);
            break;
        default:
            playFrames(player, argument);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    Player player;
    player.seed = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                  static_cast<std::uint32_t>(data[2]) << 16 |
                  static_cast<std::uint32_t>(data[3]) << 24;
    restartGame(player.seed);
    watchFrom(player.watch);

    for (std::size_t i = 4; i + 1 < size && player.framesLeft > 0; i += 2) {
        const std::uint8_t a = data[i];
        const std::uint8_t b = data[i + 1];
        if (a < keyCount) {
            setKeyHeld(a, b >= 128);
            playFrames(player, b & 127);
        } else {
            playCommand(player, a, b);
        }
    }
    // Each input gives back what it took, so the fuzzer's leak check does not
    // have to run it a second time.
    destroyImage(game.worldImage);
    game.worldImage = nullptr;
    return 0;
}
