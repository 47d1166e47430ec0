#include "../PixelCompare.h"
#include "level/LevelFixture.h"

#include "characters/Husband.h"
#include "characters/Wife.h"
#include "core/Random.h"
#include "game/RoundCheck.h"
#include "rules/GameRoundup.h"
#include "rules/Sock.h"
#include "scene/World.h"
#include "widgets/Button.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace game {

using testing_level::Level;

namespace {

void press(Level& level, char32_t key) {
    level.game->onKey(key);
}

// What a full redraw would show right now.
gfx::Surface fullPicture(Level& level) {
    gfx::Surface s(level.host.window.width(), level.host.window.height());
    level.game->renderer().renderFullInto(level.game->sceneView(), s);
    return s;
}

} // namespace

// Any sequence of round, cheat, pause and step keys and speed buttons keeps the forty socks
// whole; under the sanitizers it also shows that nothing touches a sock that is gone.
TEST(Round, FortySocksHoldThroughAnyKeySequence) {
    Level level(11);
    Game& game = *level.game;
    const char32_t keys[] = {U'n', U'm', U'+', U'=', U'-', U'_', U'p', U's', U'd', U'e'};
    Button* buttons[] = {&game.slowButton(), &game.mildButton(), &game.fastButton()};
    for (int frame = 0; frame < 3000; ++frame) {
        const int r = game.world().random().next() % 40;
        if (r < 10) {
            press(level, keys[r]);
        } else if (r == 10) {
            const gfx::RectF b = buttons[frame % 3]->bounds(false);
            game.onClick(static_cast<int>(b.x + 3), static_cast<int>(b.y + 3));
        }
        if (game.world().settings().paused && frame % 7 == 0)
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
    EXPECT_TRUE(game.rules().isRunning());
    EXPECT_EQ(game.rules().display().sockCounter.text(), "40/40");
    level.frame(0.01);
    EXPECT_FALSE(game.rules().isRunning());
    EXPECT_EQ(game.rules().display().resultBox.text(), "CONGRATS");
    EXPECT_TRUE(game.rules().display().resultBox.isOn() && game.rules().display().cheaterBox.isOn());
    EXPECT_TRUE(game.slowButton().isOn());
    EXPECT_TRUE(game.rules().display().gameClock.isFrozen());

    press(level, U'm');
    level.frame(0.01);
    // Nothing of the round is left in the picture, however it is painted.
    EXPECT_EQ(largestDifference(level.host.window.screen(), fullPicture(level)), 0);
    EXPECT_TRUE(game.rules().socksCollected().empty());
    EXPECT_FALSE(game.rules().display().resultBox.isOn() || game.rules().display().sockCounter.isOn() ||
                 game.rules().display().gameClock.isOn());
    for (const Object* o : game.world().objects().agentList())
        EXPECT_NE(o->typeName(), "Sock");
    press(level, U'-'); // nothing collected, nothing to put back
    press(level, U'+');
    EXPECT_TRUE(game.rules().socksInLevel().empty());
}

TEST(Round, CatStrikesDropTwentySocksAndTheWifeCostsALifePerCatch) {
    Level level;
    Game& game = *level.game;
    press(level, U'n');
    for (int i = 0; i < 25; ++i)
        press(level, U'+');
    Cat& cat = *game.rules().cats().front();
    game.husband().halt();
    level.frame(0.01);
    cat.moveTo(game.husband().position().x, game.husband().position().y);
    level.frame(0.01);
    EXPECT_TRUE(cat.isTouched());
    EXPECT_EQ(game.rules().socksCollected().size(), 5u) << "twenty dropped, five kept";

    // The Wife catches him whenever she stands on him, but never twice within 4 seconds nor in
    // the first 4 seconds of the round.
    std::vector<double> catches;
    int lives = game.rules().lives();
    for (int frame = 0; frame < 2000 && game.rules().isRunning(); ++frame) {
        game.wife().moveTo(game.husband().position().x, game.husband().position().y);
        level.frame(0.01);
        if (game.rules().lives() != lives) {
            lives = game.rules().lives();
            catches.push_back(frame * 0.01);
            EXPECT_EQ(game.rules().display().livesDisplay.count(), lives);
        }
    }
    ASSERT_EQ(catches.size(), 3u);
    EXPECT_GE(catches[0], 4.0);
    EXPECT_GE(catches[1] - catches[0], 4.0);
    EXPECT_GE(catches[2] - catches[1], 4.0);
    EXPECT_EQ(game.rules().display().resultBox.text(), "GAME OVER");
}

// However a round ends, its count stands from that frame on: no cat strikes in the frame of
// the win (the win clears the cats' touch), and neither cheat keys nor cats change it after.
TEST(Round, OnceWonOrLostNothingChangesTheCount) {
    struct Ending {
        const char* name;
        const char* result;
        std::function<void(Level&, Cat&)> play;
    };
    const auto keepCatOnHim = [](Level& level, Cat& cat) {
        const gfx::PointF at = level.game->husband().position();
        cat.moveTo(at.x, at.y);
    };
    const Ending endings[] = {
        {"won with a cat that struck a moment ago still on him", "CONGRATS",
         [&](Level& level, Cat& cat) {
             press(level, U'+');
             keepCatOnHim(level, cat);
             level.frame(0.01);
             ASSERT_TRUE(cat.isTouched()) << "the cat struck";
             for (int i = 0; i < GameRoundup::kSockCount; ++i)
                 press(level, U'+');
             keepCatOnHim(level, cat);
             level.frame(0.01); // won, with the cat's strike less than 4 s ago
         }},
        {"lost to the Wife", "GAME OVER",
         [&](Level& level, Cat&) {
             Game& game = *level.game;
             for (int i = 0; i < 10; ++i)
                 press(level, U'+');
             for (int frame = 0; frame < 2000 && game.rules().isRunning(); ++frame) {
                 game.wife().moveTo(game.husband().position().x, game.husband().position().y);
                 level.frame(0.01);
             }
         }},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        Level level;
        Game& game = *level.game;
        game.paintEachFrame = false;
        Cat& cat = *game.rules().cats().front();
        press(level, U'n');
        game.husband().halt();
        level.frame(0.01);
        ending.play(level, cat);
        ASSERT_FALSE(game.rules().isRunning());
        EXPECT_EQ(game.rules().display().resultBox.text(), ending.result);
        const std::string count = game.rules().display().sockCounter.text();
        const std::size_t collected = game.rules().socksCollected().size();
        if (std::string(ending.result) == "CONGRATS") {
            EXPECT_EQ(count, "40/40");
        }
        const int lives = game.rules().lives();

        for (char32_t key : {U'+', U'=', U'-', U'_'})
            press(level, key);
        for (int frame = 0; frame < 600; ++frame) { // six seconds: past any cat's 4 s rest
            keepCatOnHim(level, cat);
            game.wife().moveTo(game.husband().position().x, game.husband().position().y);
            level.frame(0.01);
        }
        EXPECT_EQ(game.rules().display().sockCounter.text(), count);
        EXPECT_EQ(game.rules().socksCollected().size(), collected);
        EXPECT_EQ(game.rules().lives(), lives);
        EXPECT_EQ(game.rules().display().resultBox.text(), ending.result);
        EXPECT_EQ(checkRound(game), "");
    }
}

// 'd' changes the speed in force, and the speed box says so at once: in a running round, while
// paused (the picture is repainted without a frame), and after the round is over.
TEST(Round, TheSpeedBoxShowsTheSpeedInForce) {
    const char* const letters[] = {"", "S", "M", "F"};
    Level level;
    Game& game = *level.game;
    press(level, U'n');
    level.frame(0.01);
    const struct {
        const char* when;
        std::function<void()> setUp;
    } moments[] = {
        {"running", [] {}},
        {"paused", [&] { press(level, U'p'); }},
        {"resumed", [&] { press(level, U'p'); }},
        {"after the round is won",
         [&] {
             for (int i = 0; i < GameRoundup::kSockCount; ++i)
                 press(level, U'+');
             level.frame(0.01);
             ASSERT_EQ(game.rules().display().resultBox.text(), "CONGRATS");
         }},
    };
    for (const auto& moment : moments) {
        SCOPED_TRACE(moment.when);
        moment.setUp();
        for (int i = 0; i < 3; ++i) {
            press(level, U'd');
            if (!game.world().settings().paused)
                level.frame(0.01);
            EXPECT_TRUE(game.rules().display().speedBox.isOn());
            EXPECT_EQ(game.rules().display().speedBox.text(), letters[game.world().settings().speedLevel]);
            EXPECT_EQ(largestDifference(level.host.window.screen(), fullPicture(level)), 0);
        }
    }
}

} // namespace game
