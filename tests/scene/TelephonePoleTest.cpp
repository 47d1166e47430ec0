#include "LevelFixture.h"

#include "scene/Ground.h"

#include <gtest/gtest.h>

#include <utility>

using testing_level::Level;

namespace {

std::pair<int, int> at(const Level& level, const char* name) {
    const NavNode& n = level.node(name);
    return {n.x, n.y};
}

} // namespace

TEST(TelephonePole, ClimbNodesAndEdges) {
    Level level;
    EXPECT_EQ(at(level, "ground_left"), std::pair(32, 440));
    EXPECT_EQ(at(level, "pole_middle"), std::pair(32, 288));
    EXPECT_EQ(at(level, "pole_branch_root"), std::pair(32, 138));
    EXPECT_EQ(at(level, "pole_top"), std::pair(32, 60));
    EXPECT_EQ(at(level, "pole_branch_end"), std::pair(130, 188));

    NavGraph& g = *level.graph;
    TelephonePole& pole = level.game->ground.telephonePole();
    const int foot = level.node("ground_left").index;
    const int middle = level.node("pole_middle").index;
    const int root = pole.branch().rootNode().index;
    const int top = level.node("pole_top").index;
    for (auto [a, b] : {std::pair{foot, middle}, {middle, root}, {root, top}}) {
        EXPECT_EQ(g.edge(a, b).platform, &pole);
        EXPECT_EQ(g.edge(b, a).platform, &pole);
    }
    // No climb straight from the foot to the top, and no edge of the pole onto itself.
    EXPECT_FALSE(g.edge(foot, top).exists());
    EXPECT_FALSE(g.edge(foot, foot).exists());
    const NavEdge& jump = g.edge(pole.branch().endNode().index, level.node("den_roof_middle").index);
    EXPECT_EQ(jump.platform, &pole.branch());
    EXPECT_FALSE(g.edge(level.node("den_roof_middle").index, pole.branch().endNode().index).exists());
}

TEST(TelephonePole, TheGamesOwnPoleStaysUnplaced) {
    Level level;
    NavGraph& g = *level.graph;
    ASSERT_EQ(g.nodeCount(), 48);
    // The ground's pole owns the first set of pole branch nodes; the game's spare pole the last.
    EXPECT_EQ(&level.node("pole_branch_root"), &level.game->ground.telephonePole().branch().rootNode());
    for (int i = 45; i < 48; ++i) {
        EXPECT_EQ(g.node(i).x, -1);
        EXPECT_EQ(g.node(i).y, -1);
    }
    EXPECT_EQ(&g.node(45), &level.game->telephonePole.branch().rootNode());
    for (Object* o : level.game->drawList)
        EXPECT_NE(o, &level.game->telephonePole);
}

TEST(TelephoneCable, WalkwayAndLoopNodes) {
    Level level;
    EXPECT_EQ(at(level, "cable_0"), std::pair(2, 84));
    EXPECT_EQ(at(level, "cable_1"), std::pair(230, 84));
    EXPECT_EQ(at(level, "cable_2"), std::pair(400, 90));
    EXPECT_EQ(at(level, "cable_3"), std::pair(620, 85));
    EXPECT_EQ(at(level, "cable_4"), std::pair(780, 77));
    EXPECT_EQ(at(level, "cable_5"), std::pair(798, 77));
    EXPECT_EQ(at(level, "cable_dangle1"), std::pair(230, 132));
    EXPECT_EQ(at(level, "cable_dangle4"), std::pair(780, 125));

    NavGraph& g = *level.graph;
    TelephoneCable& cable = level.game->ground.telephonePole().cable();
    ASSERT_NE(cable.danglingCable1(), nullptr);
    ASSERT_NE(cable.danglingCable4(), nullptr);
    // The loops' climbs reach up 40 pixels above the drawn loop.
    const NavEdge& up1 = g.edge(level.node("cable_dangle1").index, level.node("cable_1").index);
    EXPECT_EQ(up1.platform, cable.danglingCable1());
    EXPECT_EQ(up1.end(), (gfx::PointF{230, 42}));
    const NavEdge& up4 = g.edge(level.node("cable_dangle4").index, level.node("cable_4").index);
    EXPECT_EQ(up4.end(), (gfx::PointF{780, 35}));
    // From the loop feet the agent drops to the roof and into the tree.
    EXPECT_TRUE(g.edge(level.node("cable_dangle1").index, level.node("roof_left").index).exists());
    EXPECT_TRUE(g.edge(level.node("cable_dangle4").index, level.node("tree_branch2_middle").index).exists());
    // Both ends of the line lead across the world's edge to the other end.
    const NavEdge& wrapLeft = g.edge(level.node("cable_0").index, level.node("cable_5").index);
    EXPECT_EQ(wrapLeft.end(), (gfx::PointF{-25, 82}));
    const NavEdge& wrapRight = g.edge(level.node("cable_5").index, level.node("cable_0").index);
    EXPECT_EQ(wrapRight.start(), (gfx::PointF{798, 75}));
    EXPECT_EQ(wrapRight.end(), (gfx::PointF{825, 75}));
    EXPECT_EQ(cable.typeName(), "TelephoneCable");
    EXPECT_EQ(cable.danglingCable1()->typeName(), "dangling_cable1");
}

TEST(TelephoneCable, SupportsDownTo98AnywhereAlongTheWindow) {
    Level level;
    TelephoneCable& cable = level.game->ground.telephonePole().cable();
    for (float x : {-30.0f, 0.0f, 400.0f, 790.0f}) {
        EXPECT_TRUE(cable.supports({x, 58, 10, 40}));
        EXPECT_FALSE(cable.supports({x, 58.5f, 10, 40}));
    }
}

TEST(TelephoneCable, LoopReachesUpToTheLine) {
    Level level;
    DanglingCable& loop = *level.game->ground.telephonePole().cable().danglingCable1();
    EXPECT_TRUE(loop.supports({225, 40, 10, 40}));
    EXPECT_FALSE(loop.supports({255, 40, 10, 40}));
    EXPECT_FALSE(loop.supports({225, 0, 10, 41}));   // wholly above its top at 42
    EXPECT_FALSE(loop.supports({225, 120, 10, 40})); // middle below its foot at 132
    // It is drawn 50 pixels tall, hanging from the line.
    const gfx::RectF drawn = loop.getBounds(false);
    EXPECT_NEAR(drawn.y + drawn.height, 132, 1e-3);
    EXPECT_NEAR(drawn.y, 132 - 1.1f * 50, 1e-3);
}

TEST(TelephoneCable, LoopsMoveAtOnceWithTheCable) {
    Level level;
    TelephoneCable& cable = level.game->ground.telephonePole().cable();
    DanglingCable& loop = *cable.danglingCable4();
    const gfx::RectF before = loop.getBounds(false);
    cable.translate(0, -6);
    cable.update(0.01);
    EXPECT_EQ(loop.getBounds(false), before);
    cable.update(0.01);
    EXPECT_EQ(cable.getOffsetY(), -6);
    EXPECT_NEAR(loop.getBounds(false).y, before.y - 6, 1e-3);
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
}
