// A long, seeded, headless run of the game under a random key script, with the
// rules of the game record checked after every frame. The script is biased so
// that battles really happen and really end: players aim at fortresses and fire
// over and over, and battles are also abandoned, chords are held, keys are
// mashed and pictures fail to be created. Everything follows from the seed, so
// a failing run is replayed by running the same seed again.
//
//   zendorak_soak [--frames N] [--seeds LIST]
//     N     frames over all seeds together (default 100000)
//     LIST  seeds separated by commas, ranges allowed: 1-10 or 3,7,40-42
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "../test_support.h"
#include "battlefield/sprites.h"
#include "frame_rules.h"

namespace {

struct Counts {
    std::uint64_t frames = 0;
    std::uint64_t battles = 0;
    std::uint64_t battlesWithoutPicture = 0;
    std::uint64_t victories = 0;
    std::uint64_t abandoned = 0;
    std::uint64_t shots = 0;
    std::uint64_t fortressHits = 0;
    std::uint64_t restarts = 0;  // Esc on the title screen ended the game

    void add(const Counts& other) {
        frames += other.frames;
        battles += other.battles;
        battlesWithoutPicture += other.battlesWithoutPicture;
        victories += other.victories;
        abandoned += other.abandoned;
        shots += other.shots;
        fortressHits += other.fortressHits;
        restarts += other.restarts;
    }
};

constexpr Colour ground = 0xFF00FF00;
constexpr int highestGroundRow = 191;  // no ground or fortress lies above it

enum class Contact { None, Ground, Fortress1, Fortress2 };

// Whether a live pixel of fortress p lies in the 9 x 9 area around (cx, cy).
bool liveFortressPixelNear(int p, int cx, int cy) {
    for (int y = cy - 4; y <= cy + 4; ++y) {
        for (int x = cx - 4; x <= cx + 4; ++x) {
            const int column = x - game.fortressX[p];
            const int row = y - game.fortressY[p];
            if (column < 0 || column >= fortressSize || row < 0 || row >= fortressSize) {
                continue;
            }
            if (game.fortressPixels[p][row * fortressSize + column + 1].code != emptyCode) {
                return true;
            }
        }
    }
    return false;
}

// What a shot of this player at this angle and power would first touch, and
// after how many frames: the game's flight formula and, roughly, its contact
// test, without side effects.
Contact predictContact(int player, int angle, int power, int& frames) {
    const double theta = angle * 3.141592653589793 / 180.0;
    const int originX = game.fortressX[player] + 32;
    const int originY = game.fortressY[player] - 16;
    float time = 0.0f;
    for (frames = 1; frames < 4000; ++frames) {
        const double t = time;
        const auto x = static_cast<float>(originX + power * std::cos(theta) * t);
        const auto y = static_cast<float>(originY - power * std::sin(theta) * t + t * t * 4.905);
        time = static_cast<float>(t + 0.05);
        if (x < 1.0f || x > 1280.0f || y > 600.0f) {
            return Contact::None;
        }
        const int cx = static_cast<int>(std::nearbyint(x));
        const int cy = static_cast<int>(std::nearbyint(y));
        if (cy + 4 < highestGroundRow) {
            continue;
        }
        for (int wy = cy - 4; wy <= cy + 4; ++wy) {
            for (int wx = cx - 4; wx <= cx + 4; ++wx) {
                if (readPixel(game.worldImage, static_cast<float>(wx), static_cast<float>(wy)) ==
                    ground) {
                    return Contact::Ground;
                }
                for (int p = 1; p <= 2; ++p) {
                    const bool inBox = game.fortressX[p] <= wx && wx <= game.fortressX[p] + 64 &&
                                       game.fortressY[p] <= wy && wy <= game.fortressY[p] + 64;
                    if (inBox && liveFortressPixelNear(p, cx, cy)) {
                        return p == 1 ? Contact::Fortress1 : Contact::Fortress2;
                    }
                }
            }
        }
    }
    return Contact::None;
}

// A chord: keys held together for a while.
const std::vector<std::vector<int>> chords = {
    {key::q, key::enter},
    {key::space, key::escape},
    {key::up, key::down, key::left, key::right},
    {key::up, key::down, key::left, key::right, key::enter},
    {key::left, key::right},
    {key::up, key::down},
    {key::escape, key::l},
    {key::space, key::l, key::enter},
    {key::q, key::space, key::enter, key::escape},
    {key::enter, key::left},
};

constexpr int anyAim = 0;
constexpr int ownFortress = 3;

enum class Phase {
    TitleDwell,   // junk keys on the title screen, then Space
    ResultDwell,  // junk keys on the result screen, then Q
    Gunner,       // aims at a fortress and fires, turn after turn
    Mash,         // random keys of the whole table flipped at random
    Chord,        // one chord held
    Abandon,      // plays a little, then Q
};

struct Script {
    std::mt19937 random;
    Phase phase = Phase::TitleDwell;
    int framesLeft = 0;
    // The fortress the gunner aims at: 1 or 2, ownFortress for the player's
    // own (quick, short flights), anyAim for no aim at all.
    int target = anyAim;
    int victim = 1;  // the fortress that the battle's gunners mostly aim at
    int wantedAngle = -1;
    int wantedPower = -1;
    int aimingPlayer = 0;
    bool quitWithEnter = false;
    std::size_t chord = 0;

    explicit Script(std::uint32_t seed) : random(seed ^ 0x5EEDF00Du) {}

    int below(int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); }
    bool chance(double p) { return std::generate_canonical<double, 32>(random) < p; }
};

void beginPhase(Script& s) {
    releaseAllKeys();
    s.wantedAngle = -1;
    switch (game.state) {
        case GameState::Title:
            s.phase = Phase::TitleDwell;
            s.framesLeft = 1 + s.below(40);
            s.victim = 1 + s.below(2);
            return;
        case GameState::GameOver:
            s.phase = Phase::ResultDwell;
            s.framesLeft = 1 + s.below(40);
            return;
        default:
            break;
    }
    const int roll = s.below(100);
    if (roll < 62) {
        s.phase = Phase::Gunner;
        // Mostly shots that hit the same fortress all battle long, so that
        // battles end by a fall; now and then each player hits their own.
        const int aims[] = {s.victim, s.victim, s.victim, ownFortress, anyAim};
        s.target = aims[s.below(5)];
        s.framesLeft = s.target == s.victim ? 2000 + s.below(20000) : 500 + s.below(4000);
    } else if (roll < 77) {
        s.phase = Phase::Mash;
        s.framesLeft = 20 + s.below(1500);
    } else if (roll < 90) {
        s.phase = Phase::Chord;
        s.chord = static_cast<std::size_t>(s.below(static_cast<int>(chords.size())));
        s.framesLeft = 1 + s.below(300);
    } else {
        s.phase = Phase::Abandon;
        s.framesLeft = 1 + s.below(400);
        s.quitWithEnter = s.chance(0.5);
    }
}

// Picks an angle and power for the current player that hit the wanted
// fortress soon: short steering (nearby aims are tried first) and a short
// flight, since both hold up the next turn.
void chooseAim(Script& s) {
    const int p = game.currentPlayer;
    s.wantedAngle = s.below(361);
    s.wantedPower = 2 + s.below(99);
    if (s.target == anyAim || s.chance(0.1)) {
        return;
    }
    const int fortress = s.target == ownFortress ? p : s.target;
    const Contact wanted = fortress == 1 ? Contact::Fortress1 : Contact::Fortress2;
    int bestCost = 1 << 30;
    int hits = 0;
    for (int attempt = 0; attempt < 150 && hits < 8; ++attempt) {
        const int spread = attempt < 60 ? 30 : 180;
        const int angle = std::clamp(game.aimAngle[p] - spread + s.below(2 * spread + 1), 0, 360);
        const int power = std::clamp(game.aimPower[p] - spread + s.below(2 * spread + 1), 2, 100);
        int flight = 0;
        if (predictContact(p, angle, power, flight) != wanted) {
            continue;
        }
        ++hits;
        const int steering =
            std::max(std::abs(angle - game.aimAngle[p]), std::abs(power - game.aimPower[p]));
        if (flight + steering < bestCost) {
            bestCost = flight + steering;
            s.wantedAngle = angle;
            s.wantedPower = power;
        }
    }
}

// Steers the current player's aim towards the wanted one; fires once there.
// During the turn delay the player who has just fired already turns towards
// a good aim for their next turn, as a player would.
void gunnerKeys(Script& s) {
    releaseAllKeys();
    const int p = game.currentPlayer;
    if (game.shot.inFlight == 1) {
        s.wantedAngle = -1;
        return;
    }
    if (s.wantedAngle < 0 || s.aimingPlayer != p) {
        chooseAim(s);
        s.aimingPlayer = p;
    }
    const int angle = game.aimAngle[p];
    if (angle != s.wantedAngle) {
        // Left counts up and Right down, each wrapping between 360 and 0.
        const int up = (s.wantedAngle - angle + 361) % 361;
        setKeyHeld(up <= 180 ? key::left : key::right, true);
    }
    if (game.aimPower[p] < s.wantedPower) {
        setKeyHeld(key::up, true);
    } else if (game.aimPower[p] > s.wantedPower) {
        setKeyHeld(key::down, true);
    }
    const bool aimed = angle == s.wantedAngle && game.aimPower[p] == s.wantedPower;
    // Now and then Enter is kept held through the delay, so that the next
    // player fires at once with whatever aim they had.
    if ((aimed && game.turnDelay == 0) || (game.turnDelay > 0 && s.chance(0.01))) {
        setKeyHeld(key::enter, true);
    }
}

// Flips random keys, out-of-table codes included. Esc on the title screen and
// Q in battle come rarely, so that the run is mostly spent in battles.
void mashKeys(Script& s) {
    if (s.chance(0.02)) {
        releaseAllKeys();
    }
    const int flips = s.below(3);
    for (int i = 0; i < flips; ++i) {
        int code = s.below(keyCount);
        if (s.chance(0.01)) {
            const int strange[] = {-1, 128, 200, 255, 1000, -2147483647 - 1, 2147483647};
            code = strange[s.below(7)];
        }
        const bool rare = (code == key::escape && game.state == GameState::Title) ||
                          (code == key::q && game.state == GameState::Battle);
        if (rare && !s.chance(0.02)) {
            continue;
        }
        setKeyHeld(code, !keyDown(code));
    }
}

// Holds the keys for the next frame; returns whether the phase has ended.
// The last frame of a phase is the one that leaves framesLeft at 0.
bool scriptKeys(Script& s) {
    if (s.framesLeft <= 0) {
        return true;
    }
    --s.framesLeft;
    switch (s.phase) {
        case Phase::TitleDwell:
            mashKeys(s);
            setKeyHeld(key::escape, false);
            setKeyHeld(key::space, false);
            if (s.framesLeft == 0) {
                const int roll = s.below(1000);
                // Now and then Esc ends the game (the run restarts it); Space
                // is sometimes joined by Esc, which must not end it, or by L.
                if (roll < 20) {
                    holdOnly({key::escape});
                } else if (roll < 30) {
                    holdOnly({key::escape, key::l});
                } else {
                    holdOnly({key::space});
                    if (roll < 50) {
                        setKeyHeld(key::escape, true);
                    } else if (roll < 100) {
                        setKeyHeld(key::l, true);
                    }
                }
            }
            break;
        case Phase::ResultDwell:
            mashKeys(s);
            setKeyHeld(key::q, false);
            if (s.framesLeft == 0) {
                holdOnly({key::q});
            }
            break;
        case Phase::Gunner:
            gunnerKeys(s);
            break;
        case Phase::Mash:
            mashKeys(s);
            break;
        case Phase::Chord:
            releaseAllKeys();
            for (int code : chords[s.chord]) {
                setKeyHeld(code, true);
            }
            break;
        case Phase::Abandon:
            gunnerKeys(s);
            if (s.framesLeft == 0) {
                holdOnly({key::q});
                setKeyHeld(key::enter, s.quitWithEnter);
            }
            break;
    }
    return false;
}

std::string stateName(GameState state) {
    switch (state) {
        case GameState::Exit:
            return "Exit";
        case GameState::Title:
            return "Title";
        case GameState::Battle:
            return "Battle";
        case GameState::GameOver:
            return "GameOver";
    }
    return "state " + std::to_string(static_cast<int>(state));
}

// Runs one seed; returns false after printing the first broken rule.
bool soakSeed(std::uint32_t seed, std::uint64_t frames, Counts& counts, FrameWatch& watch) {
    Script script(seed);
    restartGame(seed);
    watchFrom(watch);
    beginPhase(script);
    GameState lastState = GameState::Exit;  // decides the picture fault on entering the title
    bool pictureFailing = false;

    for (std::uint64_t frame = 1; frame <= frames; ++frame) {
        if (game.state == GameState::Title && lastState != GameState::Title) {
            pictureFailing = script.chance(0.1);
            setImageCreationFailing(pictureFailing);
        }
        if (game.state != GameState::Battle) {
            watch.worldPictureMayBeMissing = pictureFailing;
        }
        lastState = game.state;
        if (scriptKeys(script)) {
            beginPhase(script);
            scriptKeys(script);
        }
        const bool wasFlying = game.shot.inFlight == 1;
        const std::uint8_t healthBefore = game.fortressHealth[1] + game.fortressHealth[2];

        runFramePass();
        ++counts.frames;

        const std::string broken = checkFrame(watch);
        if (!broken.empty()) {
            std::printf(
                "soak: seed %u, frame %llu (%s after %s): %s\n"
                "soak: replay with: zendorak_soak --seeds %u --frames %llu\n",
                seed, static_cast<unsigned long long>(frame), stateName(game.state).c_str(),
                stateName(lastState).c_str(), broken.c_str(), seed,
                static_cast<unsigned long long>(frame));
            return false;
        }

        const bool fought = lastState == GameState::Battle;
        counts.battles += lastState == GameState::Title && game.state == GameState::Battle;
        counts.battlesWithoutPicture += lastState == GameState::Title &&
                                        game.state == GameState::Battle &&
                                        game.worldImage == nullptr;
        counts.victories += fought && game.state == GameState::GameOver;
        counts.abandoned += fought && game.state == GameState::Title;
        counts.shots += fought && !wasFlying && (game.shot.inFlight == 1 || game.turnDelay == 99);
        counts.fortressHits +=
            fought && game.fortressHealth[1] + game.fortressHealth[2] != healthBefore;
        if (game.state != lastState) {
            beginPhase(script);
        }
        if (game.state == GameState::Exit) {
            ++counts.restarts;
            restartGame(seed + 7919u * static_cast<std::uint32_t>(counts.restarts));
            watchFrom(watch);
            pictureFailing = false;
            beginPhase(script);
        }
    }
    // Leaves nothing allocated behind for the leak check.
    restartGame(seed);
    return true;
}

bool parseNumber(const std::string& text, unsigned long long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

// "1-10" or "3,7,40-42"
bool parseSeeds(const std::string& text, std::vector<std::uint32_t>& seeds) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t dash = item.find('-');
        unsigned long long first = 0;
        unsigned long long last = 0;
        if (dash == std::string::npos) {
            if (!parseNumber(item, first)) {
                return false;
            }
            last = first;
        } else if (!parseNumber(item.substr(0, dash), first) ||
                   !parseNumber(item.substr(dash + 1), last) || last < first ||
                   last - first > 100000) {
            return false;
        }
        for (unsigned long long seed = first; seed <= last; ++seed) {
            seeds.push_back(static_cast<std::uint32_t>(seed));
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return !seeds.empty();
}

int usage() {
    std::fprintf(stderr, "usage: zendorak_soak [--frames N] [--seeds 1-10|3,7,40-42]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned long long totalFrames = 100000;
    std::vector<std::uint32_t> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return usage();
        }
        const std::string value = argv[++i];
        if (option == "--frames") {
            if (!parseNumber(value, totalFrames) || totalFrames == 0) {
                return usage();
            }
        } else if (option == "--seeds") {
            if (!parseSeeds(value, seeds)) {
                return usage();
            }
        } else {
            return usage();
        }
    }
    if (seeds.empty()) {
        seeds = {1, 2, 3, 4};
    }

    Counts total;
    FrameWatch watch;
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        // Every seed gets its share; the first ones take what does not divide.
        const std::uint64_t frames = totalFrames / seeds.size() + (i < totalFrames % seeds.size());
        Counts counts;
        const std::uint64_t checksBefore = watch.checks;
        if (!soakSeed(seeds[i], frames, counts, watch)) {
            return 1;
        }
        std::printf(
            "soak: seed %u: %llu frames, %llu battles (%llu without a world picture), %llu won, "
            "%llu abandoned, %llu shots, %llu fortress hits, %llu restarts after Esc, %llu "
            "checks\n",
            seeds[i], static_cast<unsigned long long>(counts.frames),
            static_cast<unsigned long long>(counts.battles),
            static_cast<unsigned long long>(counts.battlesWithoutPicture),
            static_cast<unsigned long long>(counts.victories),
            static_cast<unsigned long long>(counts.abandoned),
            static_cast<unsigned long long>(counts.shots),
            static_cast<unsigned long long>(counts.fortressHits),
            static_cast<unsigned long long>(counts.restarts),
            static_cast<unsigned long long>(watch.checks - checksBefore));
        total.add(counts);
    }
    std::printf(
        "soak: %llu frames over %zu seeds, %llu invariant checks passed; %llu battles, %llu won, "
        "%llu abandoned, %llu shots, %llu fortress hits, %llu restarts after Esc\n",
        static_cast<unsigned long long>(total.frames), seeds.size(),
        static_cast<unsigned long long>(watch.checks),
        static_cast<unsigned long long>(total.battles),
        static_cast<unsigned long long>(total.victories),
        static_cast<unsigned long long>(total.abandoned),
        static_cast<unsigned long long>(total.shots),
        static_cast<unsigned long long>(total.fortressHits),
        static_cast<unsigned long long>(total.restarts));
    return 0;
}
