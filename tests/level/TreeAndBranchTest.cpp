#include "LevelFixture.h"

#include "level/Ground.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace game {

using testing_level::Level;

namespace {

using Points = std::vector<gfx::PointF>;

template <std::size_t N> Points toVector(const std::array<gfx::PointF, N>& a) {
    return Points(a.begin(), a.end());
}

struct Expected {
    int branch;
    Points outline;
    Points twig;
};

} // namespace

TEST(TreeAndBranch, ShapesMatchTheLevelTable) {
    Level level;
    Tree& tree = level.game->ground().tree();
    const std::array<Expected, 3> table{{
        {0,
         {{703, 390}, {668, 373}, {651, 373}, {593, 390}, {615, 396}, {659, 385}, {699, 408}, {703, 390}},
         {{668, 373}, {638, 350}, {633, 361}, {651, 373}}},
        {1,
         {{703, 304}, {731, 287}, {746, 287}, {793, 304}, {775, 310}, {739, 299}, {706, 322}, {703, 304}},
         {{731, 287}, {756, 264}, {760, 275}, {746, 287}}},
        {2,
         {{703, 201}, {668, 189}, {651, 189}, {593, 201}, {615, 205}, {659, 197}, {699, 213}, {703, 201}},
         {{668, 189}, {638, 174}, {633, 181}, {651, 189}}},
    }};
    for (const Expected& e : table) {
        Branch& b = tree.branch(e.branch);
        SCOPED_TRACE(b.typeName());
        EXPECT_EQ(toVector(b.outlinePoints()), e.outline);
        EXPECT_EQ(toVector(b.twig().outlinePoints()), e.twig);
    }

    // The pole's branch: its odd thickness puts the thickest point on 211, and the twig's
    // single-precision factors put its first point on 61.
    Branch& pole = level.game->ground().telephonePole().branch();
    EXPECT_EQ(
        toVector(pole.outlinePoints()),
        (Points{{30, 188}, {62, 165}, {78, 165}, {130, 188}, {110, 195}, {70, 180}, {34, 211}, {30, 188}}));
    EXPECT_EQ(toVector(pole.twig().outlinePoints()), (Points{{61, 165}, {89, 135}, {93, 150}, {77, 165}}));

    // The trunk's climb is the chain of branch roots, owned by the tree.
    const NavEdge& climb =
        level.graph->edge(level.node("ground_and_tree").index, tree.branch(0).rootNode().index);
    EXPECT_EQ(climb.platform, &tree);
    EXPECT_EQ(level.graph->reverseEdge(climb)->platform, &tree);
}

TEST(TreeAndBranch, BranchesSupportAlongTheirOutlineAndSagBackTowardsTheTrunk) {
    Level level;
    Branch& left = level.game->ground().tree().branch(0);  // grows to the left
    Branch& right = level.game->ground().tree().branch(1); // grows to the right
    // Centre x 600, bottom 410 = 390 + 20: held.
    EXPECT_TRUE(left.supports({590, 370, 20, 40}));
    EXPECT_FALSE(left.supports({590, 370.5f, 20, 40}));
    EXPECT_FALSE(left.supports({580, 370, 20, 40})); // centre 590, left of the tip at 593
    EXPECT_FALSE(left.supports({694, 370, 20, 40})); // centre 704, past the root at 703
    EXPECT_EQ(left.direction(), -1);
    EXPECT_EQ(right.direction(), 1);

    for (Branch* b : {&left, &right}) {
        const gfx::RectF before = b->bounds(false);
        b->translate(0, 10);
        b->update(0.01); // the idle queue's leading zero move
        b->update(0.01);
        EXPECT_EQ(b->offsetY(), 10);
        EXPECT_NEAR(b->bounds(false).y - before.y, 10, 1e-3);
        // The twig, carried by the branch, goes 1.1 times as far.
        EXPECT_NEAR(b->twig().displacement().y, 11, 1e-5);
    }
    EXPECT_FLOAT_EQ(left.offsetX(), 2);   // back to the right, towards the trunk
    EXPECT_FLOAT_EQ(right.offsetX(), -2); // back to the left
    EXPECT_FLOAT_EQ(left.twig().displacement().x, 2.2f);
    EXPECT_TRUE(left.supports({590, 370, 20, 40})) << "the zone stays put while the branch sways";
}

} // namespace game
