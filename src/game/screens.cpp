// The two screens outside a battle. Texts are drawn before the keys are read,
// so whatever a key changes shows from the next frame.
#include "game/screens.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "battlefield/battlefield.h"
#include "game/game_session.h"
#include "platform/graphics.h"
#include "platform/input.h"

namespace {

struct TitleLine {
    std::string_view hungarian;
    std::string_view english;
    bool centred;  // the first two lines stand in the middle of the screen
    float x;
    float y;
};

constexpr std::array<TitleLine, 6> titleLines{{
    {"ZENDORAK", "ZENDORS", true, 0, 5},
    {"Zendorak v1.0 - a Zendorak csapat jateka, 2026",
     "Zendorak v1.0 - a game by the Zendorak team, 2026", true, 0, 20},
    {"Otletet Orvi Paskelo 1991-es The Varnok cimu jateka adta",
     "Idea by Orvi Paskelo's game The Varnok from 1991", false, 5, 30},
    {"KEZDES: <SZOKOZ>; KILEPES: <ESC>; IN ENGLISH: <L>",
     "BEGIN: <SPACE>; EXIT: <ESC>; MAGYARUL: <L>", false, 5, 80},
    {"<Alt>+<ENTER>; ablakos/teljeskepernyos mod", "<Alt>+<ENTER>; windowed/full screen mode",
     false, 10, 140},
    {"Kulon koszonet a Quillon keszitoinek es a forumkozossege tagjainak!",
     "Special thanks for the creators of Quillon and members of its community!", false, 5, 160},
}};

std::int32_t languageKeyLatch = 0;

float centredX(std::string_view text) {
    return 320.0f - static_cast<float>(text.size()) * 8.0f / 2.0f;
}

}  // namespace

void resetLanguageKeyLatch() {
    languageKeyLatch = 0;
}

void titleFrame() {
    const bool hungarian = game.language == Language::Hungarian;
    for (const TitleLine& line : titleLines) {
        const std::string_view text = hungarian ? line.hungarian : line.english;
        drawText(line.centred ? centredX(text) : line.x, line.y, text);
    }

    if (keyDown(key::escape)) {
        game.state = GameState::Exit;
    }
    if (keyDown(key::l)) {
        if (languageKeyLatch == 0) {
            languageKeyLatch = 1;
            game.language = hungarian ? Language::English : Language::Hungarian;
        }
    } else if (languageKeyLatch == 1) {
        languageKeyLatch = 0;
    }
    if (keyDown(key::space)) {
        setUpBattlefield();
    }
}

void gameOverFrame() {
    const bool hungarian = game.language == Language::Hungarian;
    std::string line = hungarian ? "Nyert a(z): " : "The winner is the: ";
    line += game.winnerLabel;
    line += hungarian ? " jatekos! Kilepes: <Q>" : " player! Exit: <Q>";
    drawText(5, 80, line);

    if (keyDown(key::q)) {
        clearScreen();
        game.state = GameState::Title;
    }
}
