#include "game/GameHost.h"

#include "level/EdgeHighlight.h"
#include "level/NodeHighlight.h"
#include "level/Storey.h"
#include "rules/GameRoundup.h"
#include "scene/World.h"
#include "widgets/Button.h"

#include <gtest/gtest.h>

namespace game {

namespace {

// Pointer input reaches the speed buttons in world units, whatever the window's scale, and
// picks the navigation target: the nearest walkway, or with hoverNodes the node under it.
struct Pointer : ::testing::Test {
    GameHost host;
    Game& game = host.game;
    gfx::RectF slow = game.slowButton().bounds(false);
};

TEST_F(Pointer, ButtonsAreHitUpToTenUnitsOutsideTheirText) {
    const float midY = slow.y + slow.height / 2;
    EXPECT_EQ(game.buttonAt({slow.x - 9, midY}), &game.slowButton());
    EXPECT_TRUE(game.slowButton().isHighlighted());
    EXPECT_EQ(game.buttonAt({slow.x - 11, midY}), nullptr);
    EXPECT_FALSE(game.slowButton().isHighlighted());
    // Right and bottom edges are excluded.
    EXPECT_EQ(game.buttonAt({slow.right() + 10, midY}), nullptr);
    EXPECT_EQ(game.buttonAt({slow.x, slow.bottom() + 10}), nullptr);
    EXPECT_EQ(game.buttonAt({slow.right() + 9.99f, slow.bottom() + 9.99f}), &game.slowButton());
}

TEST_F(Pointer, OverlappingButtonsFirstInListWinsAndSwitchedOffIsSkipped) {
    game.mildButton().setPosition(slow.x + 5, slow.y);
    const gfx::PointF p{slow.x + 10, slow.y + 5};
    EXPECT_EQ(game.buttonAt(p), &game.slowButton());
    EXPECT_TRUE(game.slowButton().isHighlighted());
    EXPECT_FALSE(game.mildButton().isHighlighted());
    game.slowButton().setOn(false);
    EXPECT_EQ(game.buttonAt(p), &game.mildButton());
    EXPECT_FALSE(game.slowButton().isHighlighted()) << "a switched-off button loses its glow";
}

TEST_F(Pointer, ClickOnASpeedButtonSelectsThatSpeed) {
    const gfx::RectF fast = game.fastButton().bounds(false);
    game.onClick(static_cast<int>(fast.x + 5), static_cast<int>(fast.y + 5));
    EXPECT_EQ(game.world().settings().speedLevel, 3);
    EXPECT_TRUE(game.rules().isRunning()) << "a speed button starts a round";
    EXPECT_FALSE(game.mildButton().isOn()) << "and the buttons go";
    game.onKey(U'm');
    const gfx::RectF mild = game.mildButton().bounds(false);
    game.onClick(static_cast<int>(mild.x + 5), static_cast<int>(mild.y + 5));
    EXPECT_EQ(game.world().settings().speedLevel, 2);
    game.onClick(5, 5); // the sky
    EXPECT_EQ(game.world().settings().speedLevel, 2);
}

TEST_F(Pointer, ThePointerLightsTheNearestWalkway) {
    game.onMouseMove(300, 560);
    NavEdge* lit = game.edgeHighlight().edge();
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit, host.graph.nearestEdge({300, 560}));
    EXPECT_EQ(lit->platform, &game.floorBasement());
    EXPECT_EQ(game.edgeHighlight().glowTime, 3.0);
    EXPECT_EQ(game.nodeHighlight().node(), nullptr);
    // A button under the pointer lights up and keeps the walkway's glow.
    game.onMouseMove(static_cast<int>(slow.x + 5), static_cast<int>(slow.y + 5));
    EXPECT_EQ(game.edgeHighlight().edge(), lit);
    EXPECT_TRUE(game.slowButton().isHighlighted());
}

TEST_F(Pointer, WithHoverNodesTheNodeUnderThePointerWinsAndTheGlowLetsGo) {
    game.onMouseMove(300, 560);
    ASSERT_NE(game.edgeHighlight().edge(), nullptr);
    host.timerCall();
    host.timerCall();
    const double glowLeft = game.edgeHighlight().glowTime;

    game.hoverNodes = true;
    game.onMouseMove(252, 570);
    EXPECT_EQ(game.nodeHighlight().node(), host.graph.node("basement_left"));
    EXPECT_EQ(game.edgeHighlight().edge(), nullptr);
    EXPECT_EQ(game.edgeHighlight().glowTime, glowLeft);

    // Nowhere near a node: the cross stays where it was.
    game.onMouseMove(600, 20);
    EXPECT_EQ(game.nodeHighlight().node(), host.graph.node("basement_left"));

    // Back to walkways: the edge takes over and the cross goes.
    game.hoverNodes = false;
    game.onMouseMove(600, 20);
    EXPECT_NE(game.edgeHighlight().edge(), nullptr);
    EXPECT_EQ(game.nodeHighlight().node(), nullptr);
}

TEST_F(Pointer, AClickHoversFirst) {
    game.hoverNodes = true;
    game.onClick(562, 198);
    EXPECT_EQ(game.nodeHighlight().node(), host.graph.node("roof_right"));
}

TEST(PointerScaled, ClientPixelsAreDividedByTheScale) {
    GameHost host(1600, 1168); // scale 2
    ASSERT_DOUBLE_EQ(host.game.scale(), 2.0);
    const gfx::RectF slow = host.game.slowButton().bounds(false);
    host.game.onMouseMove(static_cast<int>((slow.x + 5) * 2), static_cast<int>((slow.y + 5) * 2));
    EXPECT_TRUE(host.game.slowButton().isHighlighted());
    host.game.onMouseMove(static_cast<int>(slow.x + 5), static_cast<int>(slow.y + 5)); // world point halved
    EXPECT_FALSE(host.game.slowButton().isHighlighted());
    host.game.hoverNodes = true;
    host.game.onMouseMove(1230, 1080); // world (615, 540)
    ASSERT_NE(host.game.nodeHighlight().node(), nullptr);
    EXPECT_EQ(host.game.nodeHighlight().node()->name, "ground_and_first_floor_right");
}

TEST(PointerCentred, TheBarsAreTakenOffBeforeTheScale) {
    const struct {
        int width, height;
        int left, top, scale;
    } windows[] = {{1400, 584, 300, 0, 1}, {1600, 1568, 0, 200, 2}};
    for (const auto& w : windows) {
        GameHost host(w.width, w.height);
        ASSERT_DOUBLE_EQ(host.game.scale(), w.scale);
        const gfx::RectF slow = host.game.slowButton().bounds(false);
        const auto toClient = [&](float world, int bar) { return bar + static_cast<int>(world * w.scale); };
        host.game.onMouseMove(toClient(slow.x + 5, w.left), toClient(slow.y + 5, w.top));
        EXPECT_TRUE(host.game.slowButton().isHighlighted()) << w.width << "x" << w.height;
        host.game.onMouseMove(toClient(slow.x + 5, 0), toClient(slow.y + 5, 0));
        EXPECT_FALSE(host.game.slowButton().isHighlighted()) << "the bar is not part of the world";
        EXPECT_EQ(host.game.toWorld(w.left, w.top), (gfx::PointF{0, 0}));
        EXPECT_EQ(host.game.toWorld(0, 0),
                  (gfx::PointF{static_cast<float>(-w.left / w.scale), static_cast<float>(-w.top / w.scale)}));
    }
}

// Border drags keep the 800 : 584 aspect.
struct Aspect : ::testing::Test {
    GameHost host;
    gfx::RectI dragTo(int w, int h) {
        const gfx::RectI before = host.window.clientRect();
        host.window.resizeClient(w, h);
        resized = host.game.fitAspect(before);
        return host.window.clientRect();
    }
    bool resized = false;
};

TEST_F(Aspect, ADragSetsTheOtherSideUnlessWithinTheTolerance) {
    const struct {
        int w, h;
        gfx::RectI fitted;
        bool resized;
    } drags[] = {
        {1000, 584, {0, 0, 1000, 730}, true}, // width drag sets the height
        {800, 700, {0, 0, 958, 700}, true},   // height drag sets the width
        {805, 584, {0, 0, 805, 584}, false},  // within the tolerance
    };
    for (const auto& d : drags) {
        host.window.resizeClient(800, 584);
        EXPECT_EQ(dragTo(d.w, d.h), d.fitted) << d.w << "x" << d.h;
        EXPECT_EQ(resized, d.resized) << d.w << "x" << d.h;
    }
}

TEST_F(Aspect, DraggedToNothingIsLeftAloneAndPaintingWaits) {
    EXPECT_EQ(dragTo(0, 584), (gfx::RectI{0, 0, 0, 584}));
    EXPECT_FALSE(resized);
    const long long before = host.window.presentCount();
    host.expose();
    host.run(3);
    EXPECT_EQ(host.window.presentCount(), before);
    // Given a size again, the next paint is a full one.
    host.window.resizeClient(400, 292);
    host.expose();
    EXPECT_EQ(host.window.lastPresented(), (std::vector<gfx::RectI>{{0, 0, 400, 292}}));
    EXPECT_DOUBLE_EQ(host.game.scale(), 0.5);
    EXPECT_DOUBLE_EQ(Renderer::scaleFor(1600, 584), 1.0) << "the limiting dimension decides";
    EXPECT_DOUBLE_EQ(Renderer::scaleFor(0, 584), 1.0);
}

} // namespace

} // namespace game
