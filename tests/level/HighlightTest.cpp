#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"
#include "level/EdgeHighlight.h"
#include "level/NodeHighlight.h"
#include "level/Place.h"
#include "scene/Wall.h"

#include <gtest/gtest.h>

#include <vector>

namespace game {

namespace {

class HighlightTest : public ::testing::Test {
protected:
    HighlightTest() {
        addPlaces(graph_);
        graph_.prepareTables();
        NavNode& a = graph_.node(0);
        NavNode& b = graph_.node(1);
        graph_.addTwoWayEdge(&floor_, a, {100, 100}, b, {200, 100});
        graph_.addTwoWayEdge(&floor_, graph_.node(5), {300, 300}, graph_.node(6), {300, 300});
    }
    static void settle(Object& o) {
        o.refreshShape();
        o.clearRedrawNeeded();
    }
    static std::uint8_t alphaAt(const gfx::Surface& s, int x, int y) { return gfx::alphaOf(s.pixel(x, y)); }

    NavGraph graph_;
    Wall floor_{{0, 0, 1, 1}, 0xFF000000, 1, 0xFF000000};
    NavEdge& edge() { return graph_.edge(0, 1); }
};

TEST_F(HighlightTest, NodeCrossIsFourArmsAndRedrawsOnlyOnAChange) {
    NodeHighlight cross;
    settle(cross);
    cross.setNode(nullptr);
    EXPECT_FALSE(cross.isRedrawNeeded());
    cross.setNode(&graph_.node(0)); // placed at (100, 100) by the fixture
    EXPECT_TRUE(cross.isRedrawNeeded());
    settle(cross);
    const auto pts = cross.path().points();
    EXPECT_EQ(
        std::vector<gfx::PointF>(pts.begin(), pts.end()),
        (std::vector<gfx::PointF>{
            {100, 96}, {100, 90}, {100, 104}, {100, 110}, {96, 100}, {90, 100}, {104, 100}, {110, 100}}));
    EXPECT_EQ(cross.path().figureCount(), 1);
    cross.setNode(&graph_.node(0));
    EXPECT_FALSE(cross.isRedrawNeeded());
    cross.setNode(nullptr);
    cross.refreshShape();
    EXPECT_TRUE(cross.path().empty());
}

TEST_F(HighlightTest, EdgeGlowRestartsQuietlyFadesAndLetsGoAfterThreeSeconds) {
    EdgeHighlight glow;
    glow.setEdge(&edge());
    glow.update(1.0);
    EXPECT_DOUBLE_EQ(glow.glowTime, 2.0);
    settle(glow);
    glow.setEdge(&edge()); // the same edge: restarts without a redraw
    EXPECT_EQ(glow.glowTime, 3.0);
    EXPECT_FALSE(glow.isRedrawNeeded());
    glow.update(0.5);
    glow.setEdge(nullptr);
    EXPECT_DOUBLE_EQ(glow.glowTime, 2.5) << "letting go leaves the glow time";

    glow.setEdge(&edge());
    glow.update(0.03);
    settle(glow);
    glow.update(0.01);
    EXPECT_FALSE(glow.isRedrawNeeded()) << "too short a step to change the shade";
    glow.update(0.02);
    EXPECT_TRUE(glow.isRedrawNeeded());
    glow.setEdge(&edge());
    for (int i = 0; i < 38; ++i) {
        EXPECT_NE(glow.edge(), nullptr) << "still glowing after " << i * 0.08 << " s";
        settle(glow);
        glow.update(0.08);
        if (glow.edge()) {
            EXPECT_TRUE(glow.isRedrawNeeded()) << "each step of 0.08 s fades it a shade";
        }
    }
    EXPECT_EQ(glow.edge(), nullptr);
    EXPECT_EQ(glow.glowTime, 0.0);
    settle(glow);
    EXPECT_TRUE(glow.path().empty());
    glow.update(0.08);
    EXPECT_FALSE(glow.isRedrawNeeded()) << "an idle highlight stays quiet";
}

TEST_F(HighlightTest, AnEdgeOfNoLengthGlowsAsNothing) {
    EdgeHighlight glow;
    glow.setEdge(&graph_.edge(5, 6));
    glow.refreshShape();
    EXPECT_TRUE(glow.path().empty());
    gfx::Surface surface(400, 400);
    surface.fill(0x00000000);
    gfx::Graphics g(surface);
    glow.draw(g);
    g.flush();
    EXPECT_EQ(alphaAt(surface, 300, 300), 0);
}

TEST_F(HighlightTest, EdgeGlowIsBrightestAtTheEndAndFades) {
    gfx::Surface surface(300, 200);
    EdgeHighlight glow;
    glow.setEdge(&edge());
    glow.refreshShape();
    // A spindle from the start at x 100 to 20 % beyond the end at x 200, 40 pixels across.
    const gfx::RectF b = glow.path().bounds();
    EXPECT_NEAR(b.x, 100, 1.0);
    EXPECT_NEAR(b.right(), 220, 1.0);
    EXPECT_GE(b.height, 40.0f);
    EXPECT_LT(b.height, 56.0f);
    EXPECT_NEAR(b.y + b.height / 2, 100, 0.5);

    auto render = [&] {
        surface.fill(0x00000000);
        gfx::Graphics g(surface);
        glow.draw(g);
        g.flush();
    };
    render();
    const int atEnd = alphaAt(surface, 199, 100);
    EXPECT_GT(atEnd, 100) << "near 128 at full glow";
    EXPECT_LE(atEnd, 130);
    EXPECT_LT(alphaAt(surface, 120, 100), atEnd) << "dimmer towards the pointed start";
    EXPECT_EQ(alphaAt(surface, 150, 150), 0) << "nothing outside the spindle";

    glow.update(1.5);
    render();
    EXPECT_NEAR(alphaAt(surface, 199, 100), atEnd / 2, 6);
}

} // namespace

} // namespace game
