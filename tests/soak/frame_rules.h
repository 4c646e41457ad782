// The rules that the game record must keep after every frame, whatever keys
// were held. Shared by the soak run and the fuzzer: both drive the game with
// the key table, run one frame pass and ask checkFrame what broke, if anything.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "ballistics/sparks.h"
#include "battlefield/camera.h"
#include "game/game_session.h"
#include "platform/graphics.h"
#include "platform/input.h"

// What the previous frame left, so that each frame can be compared with it.
struct FrameWatch {
    GameState state = GameState::Title;
    std::uint8_t health[3] = {};
    std::uint8_t currentPlayer = 0;
    std::uint8_t turnDelay = 0;
    // Set while the current battle was started with image creation failing on
    // purpose: such a battle runs without a world picture.
    bool worldPictureMayBeMissing = false;
    std::uint64_t checks = 0;  // single rule tests passed, over all frames
};

// Takes the record as it stands as the starting point; call it after a
// restart and whenever the driver changes the record itself.
inline void watchFrom(FrameWatch& watch) {
    watch.state = game.state;
    watch.health[1] = game.fortressHealth[1];
    watch.health[2] = game.fortressHealth[2];
    watch.currentPlayer = game.currentPlayer;
    watch.turnDelay = game.turnDelay;
}

namespace frame_rules_detail {

// Collects the first broken rule; later ones are usually its echoes. A rule
// is a printf format for the whole numbers that follow it, written out only
// when it breaks, since most frames break nothing.
struct Verdict {
    FrameWatch& watch;
    std::string broken;

    template <typename... Numbers>
    void require(bool holds, const char* rule, Numbers... numbers) {
        ++watch.checks;
        if (holds || !broken.empty()) {
            return;
        }
        if constexpr (sizeof...(numbers) == 0) {
            broken = rule;
        } else {
            char text[256];
            std::snprintf(text, sizeof text, rule, static_cast<long long>(numbers)...);
            broken = text;
        }
    }
};

inline bool isKnownState(GameState state) {
    return state == GameState::Exit || state == GameState::Title || state == GameState::Battle ||
           state == GameState::GameOver;
}

inline bool anySparkActive() {
    for (const Debris& spark : game.debris) {
        if (spark.active != 0) {
            return true;
        }
    }
    return false;
}

// The key table still holds what the frame just read.
inline void checkStateChange(Verdict& v, GameState before, GameState after) {
    const bool esc = keyDown(key::escape);
    const bool space = keyDown(key::space);
    const bool q = keyDown(key::q);
    switch (before) {
        case GameState::Title:
            if (space) {
                v.require(after == GameState::Battle, "Space on the title screen starts a battle");
            } else if (esc) {
                v.require(after == GameState::Exit, "Esc alone on the title screen ends the game");
            } else {
                v.require(after == GameState::Title, "the title screen stays without Esc or Space");
            }
            break;
        case GameState::Battle:
            if (q) {
                v.require(after == GameState::Title, "Q in battle returns to the title screen");
            } else {
                v.require(after == GameState::Battle || after == GameState::GameOver,
                          "a battle ends only by Q or by a fall");
            }
            break;
        case GameState::GameOver:
            v.require(after == (q ? GameState::Title : GameState::GameOver),
                      "the result screen is left by Q only, to the title screen");
            break;
        case GameState::Exit:
            v.require(after == GameState::Exit, "nothing runs after Exit");
            break;
    }
}

inline void checkBattleStart(Verdict& v) {
    v.require(game.fortressHealth[1] == 100 && game.fortressHealth[2] == 100,
              "a new battle starts with both fortresses at 100");
    v.require(game.currentPlayer == 1 && game.turnDelay == 0,
              "a new battle starts with player 1 and no turn delay");
    v.require(game.aimAngle[1] == 45 && game.aimAngle[2] == 135 && game.aimPower[1] == 10 &&
                  game.aimPower[2] == 10,
              "a new battle starts aiming 45/10 and 135/10");
    v.require(game.fortressX[2] - game.fortressX[1] > 640,
              "the fortresses stand more than 640 columns apart");
}

inline void checkHealth(Verdict& v, const FrameWatch& before, bool stillSameBattle) {
    for (int p = 1; p <= 2; ++p) {
        const int health = game.fortressHealth[p];
        v.require(health >= 24 && health <= 100, "fortress %lld health %lld outside 24..100", p,
                  health);
        if (stillSameBattle) {
            v.require(health <= before.health[p],
                      "fortress %lld health rose from %lld to %lld within a battle", p,
                      before.health[p], health);
        }
    }
    if (stillSameBattle) {
        const int lost = (before.health[1] - game.fortressHealth[1]) +
                         (before.health[2] - game.fortressHealth[2]);
        v.require(lost <= 1, "more than one point of health lost in one frame");
    }
}

inline void checkFall(Verdict& v) {
    const bool firstFell = game.fortressHealth[1] == 24;
    const bool secondFell = game.fortressHealth[2] == 24;
    v.require(firstFell != secondFell, "a battle ends by a fall of exactly one fortress");
    v.require(game.winnerLabel == (firstFell ? "2." : "1."),
              "the winner label does not name the other player");
    // The impact sets 100 and the countdown of the same frame still runs.
    v.require(game.turnDelay == 99, "the falling shot leaves the turn delay at 99");
}

inline void checkBattleFields(Verdict& v, const FrameWatch& before, bool stillSameBattle) {
    v.require(game.fortressAlive[1] == 1 && game.fortressAlive[2] == 1,
              "both fortresses take part in impact tests during a battle");
    v.require(game.currentPlayer == 1 || game.currentPlayer == 2,
              "current player %lld is not 1 or 2", game.currentPlayer);
    for (int p = 1; p <= 2; ++p) {
        v.require(game.aimAngle[p] >= 0 && game.aimAngle[p] <= 360, "angle %lld of player %lld",
                  game.aimAngle[p], p);
        v.require(game.aimPower[p] >= 2 && game.aimPower[p] <= 100, "power %lld of player %lld",
                  game.aimPower[p], p);
    }
    if (game.shot.inFlight == 1) {
        v.require(game.shot.angle >= 0 && game.shot.angle <= 360 && game.shot.power >= 2 &&
                      game.shot.power <= 100,
                  "a shot flies with an angle or power no player can set");
        v.require(game.turnDelay == 0, "a shot flies while a turn delay runs");
    }
    if (stillSameBattle && game.currentPlayer != before.currentPlayer) {
        v.require(before.turnDelay == 1 && game.turnDelay == 0,
                  "the turn passed without the delay running out");
    }
    if (game.worldImage != nullptr) {
        v.require(imageWidth(game.worldImage) == worldWidth &&
                      imageHeight(game.worldImage) == worldHeight,
                  "the world picture is not 1280 x 600");
    }
    for (const Debris& spark : game.debris) {
        if (spark.active != 0) {
            v.require(spark.rise >= 1 && spark.rise <= 10 && spark.life >= 1 && spark.life <= 59,
                      "a live spark rises %lld with life %lld", spark.rise, spark.life);
        }
    }
}

}  // namespace frame_rules_detail

// Checks the record after one frame pass against the previous one; returns an
// empty string, or the first rule broken. Updates the watch for the next frame.
inline std::string checkFrame(FrameWatch& watch) {
    using namespace frame_rules_detail;
    Verdict v{watch, {}};
    const FrameWatch before = watch;
    const GameState state = game.state;

    v.require(isKnownState(state), "unknown state %lld", static_cast<int>(state));
    checkStateChange(v, before.state, state);

    const bool inBattle = state == GameState::Battle;
    if (inBattle && !watch.worldPictureMayBeMissing) {
        v.require(game.worldImage != nullptr, "a battle runs without its world picture");
    }
    if (!inBattle) {
        v.require(game.worldImage == nullptr, "a world picture is held outside a battle");
        v.require(game.shot.inFlight == 0, "a shot flies outside a battle");
        v.require(!anySparkActive(), "a spark is active outside a battle");
        v.require(game.fortressAlive[1] == 0 && game.fortressAlive[2] == 0,
                  "a fortress is still live outside a battle");
    }

    v.require(game.turnDelay <= 100, "turn delay %lld above 100", game.turnDelay);
    v.require(game.cameraX >= 0 && game.cameraX <= worldWidth - screenWidth && game.cameraY >= 0 &&
                  game.cameraY <= worldHeight - screenHeight,
              "camera at (%lld, %lld) lets the view leave the world", game.cameraX, game.cameraY);

    const bool battleStarted = before.state == GameState::Title && inBattle;
    const bool stillSameBattle = before.state == GameState::Battle && state != GameState::Exit;
    if (battleStarted) {
        checkBattleStart(v);
    }
    if (battleStarted || stillSameBattle || state == GameState::GameOver) {
        checkHealth(v, before, stillSameBattle);
    }
    if (before.state == GameState::Battle && state == GameState::GameOver) {
        checkFall(v);
    }
    if (inBattle) {
        checkBattleFields(v, before, stillSameBattle);
    }

    watchFrom(watch);
    return v.broken;
}
