#include "game/GameHost.h"

#include <gtest/gtest.h>

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
    // Nor do the round and music keys, which wait for the rules.
    for (char32_t key : {U'a', U'm', U'n', U'+', U'=', U'-', U'_'})
        EXPECT_EQ(press(key), Game::KeyAction::None);
    EXPECT_EQ(game.speedLevel, 1);
    EXPECT_EQ(game.hudMode, 0);
    EXPECT_EQ(game.navOverlay, 0);
    EXPECT_FALSE(game.paused);
    EXPECT_FALSE(game.cheatUsed);
    EXPECT_TRUE(game.paintForcesFullRedraw);
}

TEST_F(KeyCommandTest, SpeedAndOverlayKeysCycleAndMarkCheating) {
    std::vector<int> speeds;
    for (int i = 0; i < 3; ++i) {
        press(U'd');
        speeds.push_back(game.speedLevel);
    }
    EXPECT_EQ(speeds, (std::vector<int>{2, 3, 1}));
    EXPECT_TRUE(game.cheatUsed);

    std::vector<int> overlays;
    for (int i = 0; i < 3; ++i) {
        press(U'l');
        overlays.push_back(game.navOverlay);
    }
    EXPECT_EQ(overlays, (std::vector<int>{1, 2, 0}));
}

TEST_F(KeyCommandTest, StatusBoxCyclesThroughItsModes) {
    TextBox& box = game.messageBox;
    std::vector<std::pair<int, bool>> seen;
    for (int i = 0; i < 4; ++i) {
        press(U'f');
        seen.emplace_back(game.hudMode, box.isOn());
        EXPECT_EQ(box.text(), "");
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {3, true}, {0, false}}));
    EXPECT_FALSE(game.cheatUsed);
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
    EXPECT_FALSE(game.cheatUsed);
    press(U'g');
    EXPECT_TRUE(game.goalTracking);
    EXPECT_TRUE(game.cheatUsed);
    press(U'e');
    EXPECT_TRUE(game.groundEventRequest);
}

TEST_F(KeyCommandTest, SelectedNodeWrapsAroundTheGraph) {
    const int count = host.graph.nodeCount();
    ASSERT_GT(count, 1);
    press(U'j');
    EXPECT_EQ(game.selectedNode, count - 1);
    press(U'k');
    EXPECT_EQ(game.selectedNode, 0);
    game.selectedNode = count - 1;
    press(U'k');
    EXPECT_EQ(game.selectedNode, 0);
}

TEST_F(KeyCommandTest, PauseStepsOnceAndStopsTheClock) {
    host.timerCall(0);
    press(U'p');
    EXPECT_TRUE(game.paused);
    EXPECT_EQ(game.simulatedFrames(), 1); // the forced step
    host.run(10);
    EXPECT_EQ(game.simulatedFrames(), 1);
    press(U'p');
    EXPECT_FALSE(game.paused);
    EXPECT_EQ(game.simulatedFrames(), 2);
    host.run(3);
    EXPECT_EQ(game.simulatedFrames(), 5);
}

} // namespace
