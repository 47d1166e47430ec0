// The help over the picture and the best times as a player meets them in the game.

#include "game/BestTimes.h"
#include "game/GameHost.h"
#include "game/KeeperSpy.h"
#include "level/NodeHighlight.h"
#include "rules/GameRoundup.h"
#include "scene/World.h"
#include "widgets/Button.h"
#include "widgets/HelpPanel.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace game {

namespace {

struct HelpAndScores : ::testing::Test {
    GameHost host;
    Game& game = host.game;
    KeeperSpy keeper;

    // A round at Slow won by collecting every sock, the way the cheat key does it but without
    // pressing it (cheat: press it instead).
    void winARound(bool cheat) {
        game.onKey(U'n');
        host.run(20);
        for (int i = 0; i < GameRoundup::kSockCount; ++i) {
            if (cheat)
                game.onKey(U'+');
            else
                game.rules().collectRandomSock();
        }
        host.run(5);
    }
};

TEST_F(HelpAndScores, F1PausesUnderTheHelpAndEscGoesOnAsThePlayerLeftIt) {
    for (const bool pausedBefore : {false, true}) {
        host.run(3);
        if (pausedBefore)
            game.onKey(U'p');
        EXPECT_EQ(game.onKey(Game::kHelpKey), Game::KeyAction::None);
        ASSERT_TRUE(game.helpShown());
        EXPECT_TRUE(game.world().settings().paused);
        EXPECT_FALSE(game.pauseBox().isOn()) << "the help says it itself";
        const long long frames = game.simulatedFrames();
        host.run(10);
        // Under the help nothing moves and nothing but its keys do anything: no round starts.
        game.onKey(U'n');
        const gfx::RectF slow = game.slowButton().bounds(false);
        game.onPointerClick({slow.x + slow.width / 2, slow.y + slow.height / 2});
        EXPECT_EQ(game.simulatedFrames(), frames);
        EXPECT_FALSE(game.rules().isRunning());
        // Esc takes the help away; it does not quit.
        EXPECT_EQ(game.onKey(27), Game::KeyAction::None);
        EXPECT_FALSE(game.helpShown());
        EXPECT_EQ(game.world().settings().paused, pausedBefore);
        EXPECT_EQ(game.pauseBox().isOn(), pausedBefore);
        host.run(10);
        EXPECT_EQ(game.simulatedFrames() > frames, !pausedBefore);
        if (pausedBefore)
            game.onKey(U'p');
    }
    // F1 takes it away too.
    game.onKey(Game::kHelpKey);
    game.onKey(Game::kHelpKey);
    EXPECT_FALSE(game.helpShown());
}

TEST_F(HelpAndScores, TheHelpStandsInsideTheWorldWithEveryLineInsideItsPane) {
    game.onKey(Game::kHelpKey);
    host.run(1);
    const gfx::RectF pane = game.helpPanel().pathBounds(false);
    const gfx::RectF text = game.helpPanel().textPath().bounds();
    EXPECT_GE(pane.x, 0);
    EXPECT_GE(pane.y, 0);
    EXPECT_LE(pane.right(), Game::kWorldWidth);
    EXPECT_LE(pane.bottom(), Game::kWorldHeight);
    EXPECT_GT(text.x, pane.x);
    EXPECT_LT(text.right(), pane.right());
    EXPECT_GT(text.y, pane.y);
    EXPECT_LT(text.bottom(), pane.bottom());
}

TEST_F(HelpAndScores, AFairWinIsKeptAndShownAndACheatedOneIsNot) {
    game.keepScores(&keeper);
    EXPECT_FALSE(game.newBestBox().isOn());
    winARound(false);
    ASSERT_EQ(keeper.wins.size(), 1u);
    EXPECT_GT(keeper.wins[0], 0.1);
    EXPECT_TRUE(game.newBestBox().isOn());
    EXPECT_EQ(game.newBestBox().text(), "New best: place 1");
    // The result and the place go with 'm'; the best time stays under its button.
    game.onKey(U'm');
    host.run(1);
    EXPECT_FALSE(game.newBestBox().isOn());
    EXPECT_EQ(keeper.wins.size(), 1u) << "a round ended with 'm' is no win";

    winARound(true);
    EXPECT_TRUE(game.rules().display().resultBox.isOn());
    EXPECT_EQ(keeper.wins.size(), 1u) << "a cheated win was kept";
    EXPECT_FALSE(game.newBestBox().isOn());
}

TEST_F(HelpAndScores, TheBestTimeStandsUnderItsButtonBeforeARound) {
    keeper.times.add(2, {83.456, "then", 1});
    game.keepScores(&keeper);
    host.run(1);
    const auto shown = [&](float buttonX) {
        for (const Object* object : game.world().objects().drawList())
            if (const auto* box = dynamic_cast<const TextBox*>(object);
                box != nullptr && box->isOn() && box->text() == "1:23.46")
                return box->position().x - buttonX;
        return -1000.0f;
    };
    EXPECT_EQ(shown(game.mildButton().position().x), 0);
    game.onKey(U'n');
    host.run(1);
    EXPECT_EQ(shown(0), -1000.0f) << "hidden with the buttons while a round runs";
}

TEST_F(HelpAndScores, PlaceModeOffTakesTheCrossAwayAtOnce) {
    game.onKey(U'z');
    // A placed node of the graph: the pointer on it lights it with a cross.
    const NavNode* node = nullptr;
    for (int i = 0; i < host.graph.nodeCount() && node == nullptr; ++i)
        if (host.graph.node(i).x >= 0)
            node = &host.graph.node(i);
    ASSERT_NE(node, nullptr);
    game.onPointerMove({static_cast<float>(node->x), static_cast<float>(node->y)});
    ASSERT_NE(game.nodeHighlight().node(), nullptr);
    game.onKey(U'z');
    EXPECT_EQ(game.nodeHighlight().node(), nullptr);
}

} // namespace

} // namespace game
