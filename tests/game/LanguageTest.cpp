// The game in German and French: every word a player sees translated, and none beyond its
// place in the picture.

#include "core/Translate.h"
#include "game/GameHost.h"
#include "game/KeeperSpy.h"
#include "rules/GameRoundup.h"
#include "widgets/Button.h"
#include "widgets/HelpPanel.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace game {

namespace {

// The player's language for one test, read from the catalogues the build compiled.
struct Speaking {
    explicit Speaking(const char* language) {
        ::setenv("LANGUAGE", language, 1);
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        ::bindtextdomain("hearthly", HEARTHLY_LOCALE_DIR);
    }
    ~Speaking() {
        ::unsetenv("LANGUAGE");
        std::setlocale(LC_MESSAGES, "C");
    }
};

bool inside(const gfx::RectF& inner, const gfx::RectF& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

TEST(Language, GermanAndFrenchWordsStayInsideTheirPlaces) {
    const gfx::RectF world{0, 0, Game::kWorldWidth, Game::kWorldHeight};
    const struct {
        const char* language;
        const char* slow; // one word that must be translated, to know the catalogue was read
    } cases[] = {{"de", "Langsam"}, {"fr", "Lent"}};
    for (const auto& c : cases) {
        const Speaking speaking(c.language);
        GameHost host;
        Game& game = host.game;
        EXPECT_EQ(game.slowButton().text(), c.slow) << c.language;

        // The buttons, each inside the world and clear of the next.
        Button* buttons[] = {&game.slowButton(), &game.mildButton(), &game.fastButton()};
        for (int i = 0; i < 3; ++i) {
            const gfx::RectF b = buttons[i]->bounds(true);
            EXPECT_TRUE(inside(b, world)) << c.language << " " << buttons[i]->text();
            if (i < 2) {
                EXPECT_LT(b.right(), buttons[i + 1]->bounds(true).x)
                    << c.language << " " << buttons[i]->text();
            }
        }

        // A won round's message and its place among the best, then, after a cheat, the
        // cheater's label.
        // Nine faster times kept: the win takes tenth place, the longest to say.
        KeeperSpy keeper;
        for (int i = 1; i < 10; ++i)
            keeper.times.add(1, {i * 0.01, "then", 2});
        game.keepScores(&keeper);
        const auto shown = [&](const TextBox& box) {
            EXPECT_TRUE(box.isOn()) << c.language;
            EXPECT_TRUE(inside(const_cast<TextBox&>(box).bounds(true), world))
                << c.language << " " << box.text();
        };
        for (const bool cheat : {false, true}) {
            game.onKey(U'n');
            host.run(20);
            if (cheat)
                game.onKey(U'e');
            host.run(3);
            if (cheat)
                shown(game.rules().display().cheaterBox);
            for (int i = 0; i < GameRoundup::kSockCount; ++i)
                game.rules().collectRandomSock();
            host.run(3);
            shown(game.rules().display().resultBox);
            shown(game.rules().display().speedBox);
            if (!cheat)
                shown(game.newBestBox());
        }
        EXPECT_NE(game.rules().display().resultBox.text(), "CONGRATS") << c.language;
        EXPECT_NE(game.rules().display().cheaterBox.text(), "CHEATER") << c.language;
        EXPECT_NE(game.newBestBox().text().find("10"), std::string::npos) << game.newBestBox().text();

        // The help: the pane inside the world, every line inside the pane.
        game.onKey(Game::kHelpKey);
        host.run(1);
        const gfx::RectF pane = game.helpPanel().pathBounds(false);
        EXPECT_TRUE(inside(pane, world)) << c.language;
        EXPECT_TRUE(inside(game.helpPanel().textPath().bounds(), pane)) << c.language;
        EXPECT_TRUE(game.pauseBox().text() != "PAUSED") << c.language;
    }
}

} // namespace

} // namespace game
