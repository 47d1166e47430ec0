#include "agents/NavGraph.h"
#include "level/Place.h"
#include "scene/Platform.h"
#include "scene/Wall.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace game {

namespace {

constexpr gfx::PointF kOwn{NavEdge::kUnset, NavEdge::kUnset};

// A small graph of the level's places laid out by hand. Walls stand in for the
// platforms that carry the edges; the graph only compares their addresses.
class NavGraphTest : public ::testing::Test {
protected:
    NavGraphTest() {
        addPlaces(graph_);
        graph_.prepareTables();
    }

    NavNode& n(int index) { return graph_.node(index); }
    static std::vector<std::string> names(const std::deque<NavEdge*>& path) {
        std::vector<std::string> out;
        for (const NavEdge* e : path)
            out.push_back(e->from->name + ">" + e->to->name);
        return out;
    }

    NavGraph graph_;
    Wall floor_{{0, 0, 1, 1}, 0xFF000000, 1, 0xFF000000};
    Wall ladder_{{0, 0, 1, 1}, 0xFF000000, 1, 0xFF000000};
};

TEST_F(NavGraphTest, PlacesAreNamedInIndexOrderAndUnplaced) {
    ASSERT_EQ(graph_.nodeCount(), 33);
    EXPECT_EQ(n(0).name, "basement_left");
    EXPECT_EQ(n(32).name, "cable_dangle4");
    for (int i = 0; i < graph_.nodeCount(); ++i) {
        EXPECT_EQ(n(i).index, i);
        EXPECT_EQ(n(i).x, -1);
        EXPECT_EQ(n(i).y, -1);
        EXPECT_EQ(graph_.node(n(i).name), &n(i));
    }
    EXPECT_EQ(graph_.node("no_such_place"), nullptr);
}

TEST_F(NavGraphTest, AppendedNodesFollowThePlacesAndGrowTheTables) {
    graph_.addTwoWayEdge(&floor_, n(0), {10, 10}, n(1), {20, 10});
    NavNode root, middle;
    root.name = "limb_root";
    middle.name = "limb_middle";
    graph_.appendNode(root);
    graph_.appendNode(middle);
    EXPECT_EQ(root.index, 33);
    EXPECT_EQ(middle.index, 34);
    // An edge to a node that arrived after the tables were sized must not write past
    // them; the tables grow and the earlier edges survive.
    graph_.addTwoWayEdge(&floor_, n(1), kOwn, root, {40, 10});
    EXPECT_EQ(graph_.nodeCount(), 35);
    ASSERT_EQ(graph_.edgeList().size(), 4u);
    EXPECT_EQ(graph_.edgeList()[3], &graph_.edge(33, 1));
    EXPECT_EQ(graph_.edge(0, 1).end().x, 20);
    graph_.computeAllPaths();
    EXPECT_EQ(graph_.pathTable(0)[33].cost, 30);
}

TEST_F(NavGraphTest, EdgeCallsPlaceNodesOnlyFromCompletePoints) {
    // Flags off: the points are kept on the edge but no node moves.
    graph_.addOneWayEdge(&floor_, n(3), {5, 6}, false, n(9), {-23, 450}, false);
    EXPECT_EQ(n(3).x, -1);
    EXPECT_EQ(n(9).x, -1);
    EXPECT_EQ(graph_.edge(3, 9).end().x, -23);

    graph_.addOneWayEdge(&floor_, n(3), {5, 6}, true, n(9), {NavEdge::kUnset, 450}, true);
    EXPECT_EQ(n(3).x, 5);
    EXPECT_EQ(n(3).y, 6);
    EXPECT_EQ(n(9).x, -1) << "a point with a missing coordinate does not place its node";
    n(9).x = 700;
    const gfx::PointF end = graph_.edge(3, 9).end();
    EXPECT_EQ(end.x, 700) << "the missing coordinate is the node's";
    EXPECT_EQ(end.y, 450) << "the given coordinate stays the edge's own";

    // A second call for the same pair overwrites the cell; the list keeps both entries.
    EXPECT_EQ(graph_.edgeList().size(), 2u);
    EXPECT_EQ(graph_.edgeList()[0], graph_.edgeList()[1]);
}

TEST_F(NavGraphTest, TwoWayEdgesAndChains) {
    const SurfacePoint chain[] = {{&n(0), 250, 574}, {&n(1), NavEdge::kUnset, 574}, {&n(2), 550, 574}, {}};
    n(1).x = 360;
    n(1).y = 554;
    graph_.addChain(&floor_, chain);
    graph_.addTwoWayEdge(&ladder_, n(1), {360, 554}, n(10), {360, 394}, 5.9);

    EXPECT_EQ(n(1).y, 554) << "the ladder placed the foot last";
    ASSERT_EQ(graph_.edgeList().size(), 6u);
    const std::vector<std::pair<int, int>> order = {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {1, 10}, {10, 1}};
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(graph_.edgeList()[i], &graph_.edge(order[i].first, order[i].second)) << i;
    EXPECT_EQ(graph_.edge(0, 1).end(), (gfx::PointF{360, 574}))
        << "the floor meets the ladder at floor height";
    EXPECT_EQ(graph_.edge(1, 0).start(), (gfx::PointF{360, 574}));
    EXPECT_EQ(graph_.edge(1, 10).margin, 5) << "margin is truncated";
    EXPECT_EQ(graph_.edge(1, 0).margin, 2);
    EXPECT_EQ(graph_.edge(1, 0).platform, &floor_);
    EXPECT_EQ(graph_.reverseEdge(graph_.edge(1, 10)), &graph_.edge(10, 1));
    EXPECT_FALSE(graph_.edge(0, 2).exists());

    graph_.addOneWayEdge(&floor_, n(15), kOwn, false, n(21), kOwn, false);
    EXPECT_EQ(graph_.reverseEdge(graph_.edge(15, 21)), nullptr);
}

TEST_F(NavGraphTest, EdgesLeavingTheScreenCostTwelveTimesTheirLength) {
    graph_.addOneWayEdge(&floor_, n(0), {-2, 100}, false, n(1), {802, 100}, false);
    EXPECT_DOUBLE_EQ(graph_.edge(0, 1).cost(), 804.0);
    graph_.addOneWayEdge(&floor_, n(0), {797, 100}, false, n(1), {803, 108}, false);
    EXPECT_DOUBLE_EQ(graph_.edge(0, 1).cost(), 10.0 * 12);
    graph_.addOneWayEdge(&floor_, n(0), {100, -2}, false, n(1), {100, 586}, false);
    EXPECT_DOUBLE_EQ(graph_.edge(0, 1).cost(), 588.0);
    graph_.addOneWayEdge(&floor_, n(0), {100, 587}, false, n(1), {100, 586}, false);
    EXPECT_DOUBLE_EQ(graph_.edge(0, 1).cost(), 12.0);
}

TEST_F(NavGraphTest, CachedRectanglesUseTheResolvedEnds) {
    n(0).x = 100;
    n(0).y = 50;
    graph_.addTwoWayEdge(&floor_, n(0), kOwn, n(1), {40, 80}, 5);
    NavEdge& e = graph_.edge(0, 1);
    EXPECT_EQ(e.hitRect(), (gfx::RectI{35, 45, 70, 40}));
    EXPECT_EQ(e.extent(), (gfx::RectF{40, 50, 60, 30}));
    EXPECT_EQ(n(1).hitRect(), (gfx::RectI{15, 55, 50, 50}));
    // Computed once: a node moved later keeps its first square.
    n(1).x = 400;
    EXPECT_EQ(n(1).hitRect().x, 15);
}

// A line 0 - 1 - 2 with a spur 1 - 10, a one-way drop 2 -> 15 and an island 20 <-> 21.
class PlannedGraphTest : public NavGraphTest {
protected:
    PlannedGraphTest() {
        const SurfacePoint line[] = {{&n(0), 0, 100}, {&n(1), 100, 100}, {&n(2), 300, 100}, {}};
        graph_.addChain(&floor_, line);
        graph_.addTwoWayEdge(&ladder_, n(1), kOwn, n(10), {100, 0});
        graph_.addOneWayEdge(&floor_, n(2), kOwn, false, n(15), {300, 200}, true);
        graph_.addTwoWayEdge(&floor_, n(20), {600, 500}, n(21), {650, 500});
        graph_.computeAllPaths();
    }
};

TEST_F(PlannedGraphTest, PathTablesHoldShortestCostsAndTreeEdges) {
    const auto& from0 = graph_.pathTable(0);
    EXPECT_EQ(from0[0].lastEdge, nullptr) << "a source's own entry stays empty";
    EXPECT_EQ(from0[0].cost, INT_MAX);
    EXPECT_EQ(from0[2].cost, 300);
    EXPECT_EQ(from0[2].lastEdge, &graph_.edge(1, 2));
    EXPECT_EQ(from0[10].cost, 200);
    EXPECT_EQ(from0[15].cost, 400);
    EXPECT_EQ(from0[20].lastEdge, nullptr);
    EXPECT_DOUBLE_EQ(graph_.eccentricity(0), 400.0);
    EXPECT_EQ(graph_.pathTable(15)[0].lastEdge, nullptr) << "the drop is one-way";
}

TEST_F(PlannedGraphTest, NodesWithNothingReachableHaveSaneTables) {
    // Node 15 is a dead end; node 5 has no edge at all and keeps (-1, -1).
    for (int source : {15, 5}) {
        EXPECT_DOUBLE_EQ(graph_.eccentricity(source), 0.0);
        for (const auto& entry : graph_.pathTable(source)) {
            EXPECT_EQ(entry.lastEdge, nullptr);
            EXPECT_EQ(entry.cost, INT_MAX);
        }
    }
    EXPECT_EQ(n(5).hitRect(), (gfx::RectI{-26, -26, 50, 50}));
    EXPECT_TRUE(graph_.planPath(&graph_.edge(0, 1), 5).empty());
    EXPECT_TRUE(graph_.pathTable(-1).empty());
    EXPECT_TRUE(graph_.pathTable(graph_.nodeCount()).empty());
    EXPECT_DOUBLE_EQ(graph_.eccentricity(graph_.nodeCount()), 0.0);
}

TEST_F(PlannedGraphTest, PlanPathFollowsTheTreeAndTurnsOnlyWhenStrictlyCloser) {
    using V = std::vector<std::string>;
    // The goal is the edge's own end: just finish it.
    EXPECT_EQ(names(graph_.planPath(&graph_.edge(0, 1), 1)),
              (V{"basement_left>basement_and_basement_ladder"}));
    // Onwards through the line and down the drop.
    EXPECT_EQ(names(graph_.planPath(&graph_.edge(0, 1), 15)),
              (V{"basement_left>basement_and_basement_ladder", "basement_and_basement_ladder>basement_right",
                 "basement_right>second_floor_right"}));
    // Walking away from the spur: node 1 is strictly closer, so the walker turns round.
    EXPECT_EQ(names(graph_.planPath(&graph_.edge(1, 2), 10)),
              (V{"basement_right>basement_and_basement_ladder",
                 "basement_and_basement_ladder>first_floor_and_basement_ladder"}));
    // Heading for the edge's own start never turns: the way back follows the edge.
    EXPECT_EQ(
        names(graph_.planPath(&graph_.edge(0, 1), 0)),
        (V{"basement_left>basement_and_basement_ladder", "basement_and_basement_ladder>basement_left"}));
    // Unreachable from the edge's end, though reachable from its start: empty.
    graph_.addOneWayEdge(&floor_, n(15), kOwn, false, n(16), {350, 250}, true);
    graph_.computeAllPaths();
    EXPECT_TRUE(graph_.planPath(&graph_.edge(15, 16), 2).empty());
    EXPECT_TRUE(graph_.planPath(&graph_.edge(0, 1), 20).empty()) << "the island is out of reach";
    EXPECT_TRUE(graph_.planPath(nullptr, 2).empty());
}

TEST_F(NavGraphTest, EqualCostsKeepTheWalkersDirection) {
    // 0 and 2 are equally far from 1's neighbour 10 when walking 0 -> 2 via the middle.
    const SurfacePoint line[] = {{&n(0), 0, 0}, {&n(2), 100, 0}, {}};
    graph_.addChain(&floor_, line);
    graph_.addTwoWayEdge(&floor_, n(0), kOwn, n(10), {50, 50});
    graph_.addTwoWayEdge(&floor_, n(2), kOwn, n(10), kOwn);
    graph_.computeAllPaths();
    const auto path = graph_.planPath(&graph_.edge(0, 2), 10);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ(path.front(), &graph_.edge(0, 2));
    EXPECT_EQ(path.back(), &graph_.edge(2, 10));
}

TEST_F(NavGraphTest, NodeAtPrefersTheLowestIndexAndExcludesTheFarSide) {
    n(4).x = 100;
    n(4).y = 100;
    n(2).x = 110;
    n(2).y = 100;
    ASSERT_NE(graph_.nodeAt({100, 100}), nullptr);
    EXPECT_EQ(graph_.nodeAt({100, 100})->index, 2);
    EXPECT_EQ(graph_.nodeAt({134, 100})->index, 2);
    EXPECT_EQ(graph_.nodeAt({135, 100}), nullptr) << "25 right of node 2 is outside its square";
    EXPECT_EQ(graph_.nodeAt({75, 75})->index, 4) << "the top-left corner is inside";
}

TEST_F(NavGraphTest, ZeroLengthEdgesNeitherCrashNorWin) {
    // Two nodes that share a place (the unplaced ones do) make a walkway of no length.
    graph_.addTwoWayEdge(&floor_, n(5), kOwn, n(6), kOwn);
    graph_.addTwoWayEdge(&floor_, n(0), {0, 0}, n(1), {50, 0});
    NavEdge* best = graph_.nearestEdge({20, 2});
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->from->index + best->to->index, 1);
    EXPECT_EQ(graph_.nearestEdge({-1, -1}), &graph_.edge(5, 6)) << "scores 0 by its end point alone";
    graph_.computeAllPaths();
    EXPECT_DOUBLE_EQ(graph_.eccentricity(5), 0.0) << "reachable at zero cost";
    EXPECT_EQ(graph_.pathTable(5)[6].cost, 0);
}

TEST_F(NavGraphTest, NearestEdgeAndEdgeOnPlatform) {
    graph_.addTwoWayEdge(&floor_, n(0), {0, 100}, n(1), {200, 100});
    graph_.addTwoWayEdge(&ladder_, n(1), kOwn, n(10), {200, 0});
    // Beside the middle of the floor, the edge that ends nearer wins (0 <- 1 ends at 0).
    EXPECT_EQ(graph_.nearestEdge({60, 110}), &graph_.edge(1, 0));
    EXPECT_EQ(graph_.nearestEdge({160, 110}), &graph_.edge(0, 1));
    EXPECT_EQ(graph_.nearestEdge({205, 10}), &graph_.edge(1, 10));
    EXPECT_EQ(graph_.nearestEdge({9000, 9000}), nullptr) << "nothing scores below 9999";

    // edgeOnPlatform needs the same platform and a strict overlap; the first in the list wins.
    EXPECT_EQ(graph_.edgeOnPlatform(&floor_, {190, 90, 20, 20}), &graph_.edge(0, 1));
    EXPECT_EQ(graph_.edgeOnPlatform(&ladder_, {190, 90, 20, 20}), &graph_.edge(1, 10));
    // The floor's hit rectangle is (-2, 98, 204, 4): touching its bottom edge is no overlap.
    EXPECT_EQ(graph_.edgeOnPlatform(&floor_, {50, 102, 10, 10}), nullptr);
    EXPECT_EQ(graph_.edgeOnPlatform(&floor_, {50, 101.5f, 10, 10}), &graph_.edge(0, 1));
    EXPECT_EQ(graph_.edgeOnPlatform(&ladder_, {0, 90, 20, 20}), nullptr);
}

} // namespace

} // namespace game
