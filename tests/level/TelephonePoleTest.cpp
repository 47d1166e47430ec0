#include "LevelFixture.h"

#include "level/Ground.h"

#include <gtest/gtest.h>

namespace game {

using testing_level::Level;

TEST(TelephonePole, ClimbEdgesBelongToThePoleAndTheLoops) {
    Level level;
    NavGraph& g = *level.graph;
    auto edge = [&](const char* a, const char* b) -> NavEdge& {
        return g.edge(level.node(a).index, level.node(b).index);
    };
    TelephonePole& pole = level.game->ground().telephonePole();
    const char* climb[] = {"ground_left", "pole_middle", "pole_branch_root", "pole_top"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(edge(climb[i], climb[i + 1]).platform, &pole) << climb[i];
        EXPECT_EQ(edge(climb[i + 1], climb[i]).platform, &pole) << climb[i];
    }
    // No climb straight from the foot to the top, and no edge of the pole onto itself.
    EXPECT_FALSE(edge("ground_left", "pole_top").exists());
    EXPECT_FALSE(edge("ground_left", "ground_left").exists());

    // The loops' climbs reach up 40 pixels above the drawn loop.
    TelephoneCable& cable = pole.cable();
    const NavEdge& up1 = edge("cable_dangle1", "cable_1");
    EXPECT_EQ(up1.platform, cable.danglingCable1());
    EXPECT_EQ(up1.end(), (gfx::PointF{230, 42}));
    EXPECT_EQ(edge("cable_dangle4", "cable_4").end(), (gfx::PointF{780, 35}));
    EXPECT_EQ(edge("cable_5", "cable_0").start(), (gfx::PointF{798, 75}));
}

TEST(TelephoneCable, CableAndLoopSupportAndTheLoopsMoveAtOnce) {
    Level level;
    TelephoneCable& cable = level.game->ground().telephonePole().cable();
    for (float x : {-30.0f, 0.0f, 400.0f, 790.0f}) { // down to 98 anywhere along the window
        EXPECT_TRUE(cable.supports({x, 58, 10, 40}));
        EXPECT_FALSE(cable.supports({x, 58.5f, 10, 40}));
    }
    DanglingCable& loop = *cable.danglingCable1();
    EXPECT_TRUE(loop.supports({225, 40, 10, 40}));
    EXPECT_FALSE(loop.supports({255, 40, 10, 40}));
    EXPECT_FALSE(loop.supports({225, 0, 10, 41}));   // wholly above its top at 42
    EXPECT_FALSE(loop.supports({225, 120, 10, 40})); // middle below its foot at 132
    // It is drawn 50 pixels tall, hanging from the line.
    const gfx::RectF before = loop.bounds(false);
    EXPECT_NEAR(before.y + before.height, 132, 1e-3);
    EXPECT_NEAR(before.y, 132 - 1.1f * 50, 1e-3);

    cable.translate(0, -6);
    cable.update(0.01);
    EXPECT_EQ(loop.bounds(false), before);
    cable.update(0.01);
    EXPECT_EQ(cable.offsetY(), -6);
    EXPECT_NEAR(loop.bounds(false).y, before.y - 6, 1e-3);
}

TEST(GardenGraph, EveryPlacedPlaceIsReachableFromTheGround) {
    Level level;
    NavGraph& g = *level.graph;
    const int from = level.node("ground_right").index;
    const auto& table = g.pathTable(from);
    for (int i = 0; i < g.nodeCount(); ++i) {
        if (i == from)
            continue;
        SCOPED_TRACE(g.node(i).name);
        const bool placed = g.node(i).x != -1 || g.node(i).y != -1;
        EXPECT_EQ(table[static_cast<std::size_t>(i)].lastEdge != nullptr, placed);
    }
    // Up the tree, along the cable and down a loop into the tree again.
    NavEdge* start = &g.edge(level.node("ground_and_tree").index, level.node("ground_right").index);
    const std::deque<NavEdge*> route = g.planPath(start, level.node("cable_dangle4").index);
    ASSERT_FALSE(route.empty());
    EXPECT_EQ(route.back()->to, &level.node("cable_dangle4"));
    for (std::size_t i = 1; i < route.size(); ++i)
        EXPECT_EQ(route[i - 1]->to, route[i]->from) << "a route is a chain of edges";
}

} // namespace game
