#include "game/GameHost.h"

#include <gtest/gtest.h>

namespace {

// The pointer picks the navigation target: the nearest walkway, or with hoverNodes the
// node under it.
struct Hover : ::testing::Test {
    NavNode& node(const char* name) { return *host.graph.node(name); }

    GameHost host;
    Game& game = host.game;
};

TEST_F(Hover, ThePointerLightsTheNearestWalkway) {
    game.onMouseMove(300, 560);
    NavEdge* lit = game.edgeHighlight.edge();
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit, host.graph.nearestEdge({300, 560}));
    EXPECT_EQ(lit->platform, &game.floorBasement);
    EXPECT_EQ(game.edgeHighlight.glowTime, 3.0);
    EXPECT_EQ(game.nodeHighlight.node(), nullptr);
}

TEST_F(Hover, WithHoverNodesTheNodeUnderThePointerWinsAndTheGlowLetsGo) {
    game.onMouseMove(300, 560);
    ASSERT_NE(game.edgeHighlight.edge(), nullptr);
    host.timerCall();
    host.timerCall();
    const double glowLeft = game.edgeHighlight.glowTime;

    game.hoverNodes = true;
    game.onMouseMove(252, 570);
    EXPECT_EQ(game.nodeHighlight.node(), &node("basement_left"));
    EXPECT_EQ(game.edgeHighlight.edge(), nullptr);
    EXPECT_EQ(game.edgeHighlight.glowTime, glowLeft);

    // Nowhere near a node: the cross stays where it was.
    game.onMouseMove(600, 20);
    EXPECT_EQ(game.nodeHighlight.node(), &node("basement_left"));

    // Back to walkways: the edge takes over and the cross goes.
    game.hoverNodes = false;
    game.onMouseMove(600, 20);
    EXPECT_NE(game.edgeHighlight.edge(), nullptr);
    EXPECT_EQ(game.nodeHighlight.node(), nullptr);
}

TEST_F(Hover, AButtonUnderThePointerKeepsTheHighlights) {
    game.onMouseMove(300, 560);
    NavEdge* before = game.edgeHighlight.edge();
    const gfx::RectF slow = game.slowButton.getBounds(false);
    game.onMouseMove(static_cast<int>(slow.x + 5), static_cast<int>(slow.y + 5));
    EXPECT_EQ(game.edgeHighlight.edge(), before);
    EXPECT_TRUE(game.slowButton.isHighlighted());
}

TEST_F(Hover, AClickHoversFirst) {
    game.hoverNodes = true;
    game.onClick(562, 198);
    EXPECT_EQ(game.nodeHighlight.node(), &node("roof_right"));
}

TEST(HoverScaled, WindowPixelsAreTurnedIntoWorldUnits) {
    GameHost host(1600, 1168); // scale 2
    host.game.hoverNodes = true;
    host.game.onMouseMove(1230, 1080); // world (615, 540)
    ASSERT_NE(host.game.nodeHighlight.node(), nullptr);
    EXPECT_EQ(host.game.nodeHighlight.node()->name, "ground_and_first_floor_right");
}

} // namespace
