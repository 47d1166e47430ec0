#include "game/GameHost.h"

#include "scene/World.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace game {

namespace {

struct KeyCommandTest : ::testing::Test {
    GameHost host;
    Game& game = host.game;
    Game::KeyAction press(char32_t key) { return game.onKey(key); }
};

TEST_F(KeyCommandTest, QuitAndAboutGoToTheWindowAndUpperCaseChangesNothing) {
    EXPECT_EQ(press(U'q'), Game::KeyAction::Quit);
    EXPECT_EQ(press(27), Game::KeyAction::Quit);
    EXPECT_EQ(press(U'h'), Game::KeyAction::ShowAbout);
    for (char32_t key = U'A'; key <= U'Z'; ++key)
        EXPECT_EQ(press(key), Game::KeyAction::None);
    EXPECT_EQ(game.world().settings().speedLevel, 1);
    EXPECT_EQ(game.world().settings().hudMode, 0);
    EXPECT_EQ(game.navOverlay, 0);
    EXPECT_FALSE(game.world().settings().paused);
    EXPECT_FALSE(game.world().settings().cheatUsed);
    EXPECT_TRUE(game.paintForcesFullRedraw);
}

TEST_F(KeyCommandTest, StatusSpeedOverlayAndNodeKeysCycle) {
    const auto cycle = [&](char32_t key, int presses, const std::function<int()>& value) {
        std::vector<int> seen;
        for (int i = 0; i < presses; ++i) {
            press(key);
            seen.push_back(value());
        }
        return seen;
    };
    using V = std::vector<int>;
    // The status box: modes 1, 2, 3 shown (empty until filled), 0 hidden.
    EXPECT_EQ(cycle(U'f', 4, [&] { return game.world().settings().hudMode * 10 + game.messageBox().isOn(); }),
              (V{11, 21, 31, 0}));
    EXPECT_EQ(game.messageBox().text(), "");
    EXPECT_FALSE(game.world().settings().cheatUsed);
    EXPECT_EQ(cycle(U'd', 3, [&] { return game.world().settings().speedLevel; }), (V{2, 3, 1}));
    EXPECT_TRUE(game.world().settings().cheatUsed);
    EXPECT_EQ(cycle(U'l', 3, [&] { return game.navOverlay; }), (V{1, 2, 0}));
    // The selected node wraps around the graph both ways.
    const int last = host.graph.nodeCount() - 1;
    EXPECT_EQ(cycle(U'j', 1, [&] { return game.selectedNode; }), (V{last}));
    EXPECT_EQ(cycle(U'k', 2, [&] { return game.selectedNode; }), (V{0, 1}));
    game.selectedNode = last;
    EXPECT_EQ(cycle(U'k', 1, [&] { return game.selectedNode; }), (V{0}));
}

TEST_F(KeyCommandTest, FlagsToggleOverlaysExcludeEachOtherAndCheatsAreMarked) {
    press(U'b');
    press(U'c');
    EXPECT_TRUE(game.showDirtyRects);
    EXPECT_FALSE(game.showRedrawnObjects);
    press(U'b');
    EXPECT_TRUE(game.showRedrawnObjects);
    EXPECT_FALSE(game.showDirtyRects);
    press(U'b');
    EXPECT_FALSE(game.showRedrawnObjects);

    press(U'r');
    press(U'z');
    EXPECT_FALSE(game.paintForcesFullRedraw);
    EXPECT_TRUE(game.hoverNodes);
    EXPECT_FALSE(game.world().settings().cheatUsed);
    press(U'g');
    EXPECT_TRUE(game.world().settings().goalTracking);
    EXPECT_TRUE(game.world().settings().cheatUsed);
    press(U'e');
    EXPECT_TRUE(game.world().settings().groundEventRequest);
}

TEST_F(KeyCommandTest, PauseStepsOnceAndStopsTheClock) {
    host.timerCall(0);
    press(U'p');
    EXPECT_TRUE(game.world().settings().paused);
    EXPECT_EQ(game.simulatedFrames(), 1); // the forced step
    host.run(10);
    EXPECT_EQ(game.simulatedFrames(), 1);
    press(U'p');
    EXPECT_FALSE(game.world().settings().paused);
    EXPECT_EQ(game.simulatedFrames(), 2);
    host.run(3);
    EXPECT_EQ(game.simulatedFrames(), 5);
}

} // namespace

} // namespace game
