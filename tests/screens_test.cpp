// The title and result screens, played the way a player does: keys held over
// whole frames. Each finished frame is compared with the texts it should hold,
// drawn afresh in white onto a cleared screen.
#include "game/screens.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using Screen = std::vector<Colour>;

constexpr int creditTop = 20;  // the credit line's wording is free; it is checked apart

Screen screenCopy() {
    const Colour* pixels = imagePixels(screenImage());
    return Screen(pixels, pixels + screenWidth * screenHeight);
}

struct TextLine {
    float x;
    float y;
    std::string_view text;
};

// The screen these texts alone make; the current colour is left as it was.
Screen screenWithTexts(std::initializer_list<TextLine> lines) {
    const Colour saved = currentColour();
    clearScreen();
    setColour(white);
    for (const TextLine& line : lines) {
        drawText(line.x, line.y, line.text);
    }
    setColour(saved);
    return screenCopy();
}

bool inCreditRows(int y) {
    return y >= creditTop && y < creditTop + 8;
}

void expectScreen(const Screen& actual, const Screen& expected, bool skipCredit = false) {
    int wrong = 0;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth && !(skipCredit && inCreditRows(y)); ++x) {
            const std::size_t i = static_cast<std::size_t>(y * screenWidth + x);
            if (actual[i] != expected[i] && wrong++ < 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << actual[i]
                              << ", expected " << expected[i];
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// The credit line stands white in its own rows, its first lit pixel in the first
// character cell and its last in the last cell of some centred text.
void expectCentredWhiteCredit(const Screen& actual) {
    int left = screenWidth;
    int right = -1;
    int otherColours = 0;
    for (int y = creditTop; y < creditTop + 8; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            const Colour pixel = actual[static_cast<std::size_t>(y * screenWidth + x)];
            otherColours += pixel != white && pixel != screenBackground;
            if (pixel == white) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_EQ(otherColours, 0);
    bool centred = false;
    for (int length = 1; length <= 80; ++length) {
        const int start = 320 - length * 4;
        centred = centred || (left >= start && left < start + 8 &&
                              right >= start + 8 * length - 8 && right < start + 8 * length);
    }
    EXPECT_TRUE(centred) << "credit lit from " << left << " to " << right;
}

void expectTitle(Language language) {
    const Screen actual = screenCopy();
    const Screen expected =
        language == Language::Hungarian
            ? screenWithTexts({
                  {288, 5, "ZENDORAK"},
                  {5, 30, "Otletet Orvi Paskelo 1991-es The Varnok cimu jateka adta"},
                  {5, 80, "KEZDES: <SZOKOZ>; KILEPES: <ESC>; IN ENGLISH: <L>"},
                  {10, 140, "<Alt>+<ENTER>; ablakos/teljeskepernyos mod"},
                  {5, 160, "Kulon koszonet a Quillon keszitoinek es a forumkozossege tagjainak!"},
              })
            : screenWithTexts({
                  {292, 5, "ZENDORS"},
                  {5, 30, "Idea by Orvi Paskelo's game The Varnok from 1991"},
                  {5, 80, "BEGIN: <SPACE>; EXIT: <ESC>; MAGYARUL: <L>"},
                  {10, 140, "<Alt>+<ENTER>; windowed/full screen mode"},
                  {5, 160,
                   "Special thanks for the creators of Quillon and members of its community!"},
              });
    expectScreen(actual, expected, true);
    expectCentredWhiteCredit(actual);
}

void expectBlackScreen() {
    expectScreen(screenCopy(), Screen(screenWidth * screenHeight, screenBackground));
}

class ScreensTest : public ::testing::Test {
protected:
    void SetUp() override { restartGame(); }
    void TearDown() override {
        releaseAllKeys();
        destroyImage(game.worldImage);
        game.worldImage = nullptr;
    }
};

TEST_F(ScreensTest, FirstFrameIsTheHungarianTitleInWhite) {
    runFramePass();
    EXPECT_EQ(game.state, GameState::Title);
    {
        SCOPED_TRACE("first frame");
        expectTitle(Language::Hungarian);
    }
    // The name itself is inked, within its eight cells.
    int inked = 0;
    for (int y = 5; y < 13; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (screenPixel(x, y) == white) {
                ++inked;
                EXPECT_TRUE(x >= 288 && x <= 351) << "ink at " << x;
            }
        }
    }
    EXPECT_GT(inked, 8 * 8);
}

TEST_F(ScreensTest, HoldingLSwitchesOnceAndShowsFromTheNextFrame) {
    holdOnly({key::l});
    runFramePass();
    EXPECT_EQ(game.language, Language::English);
    {
        SCOPED_TRACE("the frame that saw L was drawn before it");
        expectTitle(Language::Hungarian);
    }
    runFrames(30);
    EXPECT_EQ(game.language, Language::English);
    {
        SCOPED_TRACE("L held on");
        expectTitle(Language::English);
    }

    releaseAllKeys();
    runFramePass();
    EXPECT_EQ(game.language, Language::English);
    holdOnly({key::l});
    runFramePass();
    EXPECT_EQ(game.language, Language::Hungarian);
    runFramePass();
    SCOPED_TRACE("pressed again");
    expectTitle(Language::Hungarian);
}

TEST_F(ScreensTest, AnyLanguageButHungarianShowsEnglishAndLTurnsItHungarian) {
    game.language = static_cast<Language>(0);
    holdOnly({key::l});
    runFramePass();
    expectTitle(Language::English);
    EXPECT_EQ(game.language, Language::Hungarian);
}

// L must be seen released on a title frame before it acts again, even when a
// battle came in between.
TEST_F(ScreensTest, TheLatchHoldsThroughABattle) {
    holdOnly({key::l, key::space});
    runFramePass();
    ASSERT_EQ(game.state, GameState::Battle);
    EXPECT_EQ(game.language, Language::English);

    holdOnly({key::q});
    runFramePass();
    ASSERT_EQ(game.state, GameState::Title);
    holdOnly({key::l});
    runFramePass();
    EXPECT_EQ(game.language, Language::English);

    releaseAllKeys();
    runFramePass();
    holdOnly({key::l});
    runFramePass();
    EXPECT_EQ(game.language, Language::Hungarian);
}

TEST_F(ScreensTest, EscWithSpaceStartsABattleOnABlackFrame) {
    holdOnly({key::escape, key::space});
    runFramePass();
    EXPECT_EQ(game.state, GameState::Battle);
    EXPECT_NE(game.worldImage, nullptr);
    expectBlackScreen();
}

TEST_F(ScreensTest, EscWithLSwitchesTheLanguageAndExits) {
    holdOnly({key::escape, key::l});
    runFramePass();
    EXPECT_EQ(game.state, GameState::Exit);
    EXPECT_EQ(game.language, Language::English);
}

TEST_F(ScreensTest, QOnTheTitleDoesNothing) {
    holdOnly({key::q});
    runFrames(2);
    EXPECT_EQ(game.state, GameState::Title);
    EXPECT_EQ(game.language, Language::Hungarian);
    expectTitle(Language::Hungarian);
}

TEST_F(ScreensTest, ResultLineNamesTheWinnerInEitherLanguage) {
    struct Case {
        Language language;
        const char* winner;
        std::string_view line;
    };
    const Case cases[] = {
        {Language::Hungarian, "1.", "Nyert a(z): 1. jatekos! Kilepes: <Q>"},
        {Language::Hungarian, "2.", "Nyert a(z): 2. jatekos! Kilepes: <Q>"},
        {Language::English, "1.", "The winner is the: 1. player! Exit: <Q>"},
        {Language::English, "2.", "The winner is the: 2. player! Exit: <Q>"},
        {static_cast<Language>(0), "2.", "The winner is the: 2. player! Exit: <Q>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        game.state = GameState::GameOver;
        game.language = c.language;
        game.winnerLabel = c.winner;
        runFramePass();
        const Screen actual = screenCopy();
        expectScreen(actual, screenWithTexts({{5, 80, c.line}}));
        EXPECT_EQ(game.state, GameState::GameOver);
    }
}

TEST_F(ScreensTest, ResultScreenHeedsOnlyQAndItsFrameIsBlack) {
    game.state = GameState::GameOver;
    game.language = Language::English;
    game.winnerLabel = "1.";
    const std::string line = "The winner is the: 1. player! Exit: <Q>";
    for (int code : {key::escape, key::l, key::space}) {
        SCOPED_TRACE(testing::Message() << "key " << code);
        holdOnly({code});
        runFrames(2);
        EXPECT_EQ(game.state, GameState::GameOver);
        EXPECT_EQ(game.language, Language::English);
        EXPECT_EQ(game.worldImage, nullptr);
        const Screen actual = screenCopy();
        expectScreen(actual, screenWithTexts({{5, 80, line}}));
    }

    holdOnly({key::q});
    runFramePass();
    EXPECT_EQ(game.state, GameState::Title);
    EXPECT_EQ(game.winnerLabel, "1.");
    {
        SCOPED_TRACE("the frame that saw Q");
        expectBlackScreen();
    }
    releaseAllKeys();
    runFramePass();
    SCOPED_TRACE("the next frame");
    expectTitle(Language::English);
}

}  // namespace
