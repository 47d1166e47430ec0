#include "level/LevelFixture.h"

#include "core/Random.h"
#include "game/RoundCheck.h"
#include "rules/Sock.h"

#include <gtest/gtest.h>

using testing_level::Level;

namespace {

void press(Level& level, char32_t key) {
    level.game->onKey(key);
}

} // namespace

// Any sequence of round, cheat, pause and step keys and speed buttons keeps the forty socks
// whole; under the sanitizers it also shows that nothing touches a sock that is gone.
TEST(Round, FortySocksHoldThroughAnyKeySequence) {
    Level level(11);
    Game& game = *level.game;
    const char32_t keys[] = {U'n', U'm', U'+', U'=', U'-', U'_', U'p', U's', U'd', U'e'};
    Button* buttons[] = {&game.slowButton, &game.mildButton, &game.fastButton};
    for (int frame = 0; frame < 3000; ++frame) {
        const int r = core::Random::next() % 40;
        if (r < 10) {
            press(level, keys[r]);
        } else if (r == 10) {
            const gfx::RectF b = buttons[frame % 3]->getBounds(false);
            game.onClick(static_cast<int>(b.x + 3), static_cast<int>(b.y + 3));
        }
        if (game.paused && frame % 7 == 0)
            press(level, U'p');
        level.frame(0.01);
        ASSERT_EQ(checkRound(game), "") << "frame " << frame;
    }
}

TEST(Round, IsWonOneFrameAfterTheLastSockAndClearedByM) {
    Level level;
    Game& game = *level.game;
    press(level, U'n');
    level.frame(0.01);
    for (int i = 0; i < 40; ++i)
        press(level, U'+');
    EXPECT_TRUE(game.rules.isRunning());
    EXPECT_EQ(game.rules.sockCounter.text(), "40/40");
    level.frame(0.01);
    EXPECT_FALSE(game.rules.isRunning());
    EXPECT_EQ(game.rules.resultBox.text(), "CONGRATS");
    EXPECT_TRUE(game.rules.resultBox.isOn() && game.rules.cheaterBox.isOn());
    EXPECT_TRUE(game.slowButton.isOn());
    EXPECT_TRUE(game.rules.gameClock.isFrozen());

    press(level, U'm');
    EXPECT_TRUE(game.rules.getSocksCollected().empty());
    EXPECT_FALSE(game.rules.resultBox.isOn() || game.rules.sockCounter.isOn() || game.rules.gameClock.isOn());
    for (const Object* o : game.agentList)
        EXPECT_NE(o->typeName(), "Sock");
    press(level, U'-'); // nothing collected, nothing to put back
    press(level, U'+');
    EXPECT_TRUE(game.rules.getSocksInLevel().empty());
}

TEST(Round, CatStrikesDropTwentySocksAndTheWifeCostsALifePerCatch) {
    Level level;
    Game& game = *level.game;
    press(level, U'n');
    for (int i = 0; i < 25; ++i)
        press(level, U'+');
    Cat& cat = *game.rules.getCats().front();
    game.husband.halt();
    level.frame(0.01);
    cat.moveTo(game.husband.getPosition().x, game.husband.getPosition().y);
    level.frame(0.01);
    EXPECT_TRUE(cat.isTouched());
    EXPECT_EQ(game.rules.getSocksCollected().size(), 5u) << "twenty dropped, five kept";

    // The Wife catches him whenever she stands on him, but never twice within 4 seconds nor in
    // the first 4 seconds of the round.
    std::vector<double> catches;
    int lives = game.rules.getLives();
    for (int frame = 0; frame < 2000 && game.rules.isRunning(); ++frame) {
        game.wife.moveTo(game.husband.getPosition().x, game.husband.getPosition().y);
        level.frame(0.01);
        if (game.rules.getLives() != lives) {
            lives = game.rules.getLives();
            catches.push_back(frame * 0.01);
            EXPECT_EQ(game.rules.livesDisplay.getCount(), lives);
        }
    }
    ASSERT_EQ(catches.size(), 3u);
    EXPECT_GE(catches[0], 4.0);
    EXPECT_GE(catches[1] - catches[0], 4.0);
    EXPECT_GE(catches[2] - catches[1], 4.0);
    EXPECT_EQ(game.rules.resultBox.text(), "GAME OVER");
}
