#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"
#include "level/Climbable.h"
#include "level/LevelFixture.h"
#include "level/Place.h"
#include "level/Storey.h"
#include "scene/Agent.h"
#include "scene/Wall.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include "widgets/Button.h"
#include <memory>

namespace game {

namespace {

// A bare world to register into: its graph has the level's places and nothing else of the level.
class PlatformTest : public ::testing::Test {
protected:
    PlatformTest() {
        addPlaces(graph_);
        graph_.prepareTables();
    }

    // Settles a platform's picture so that a later invalidate() shows.
    static void settle(Object& o) {
        o.refreshShape();
        o.clearRedrawNeeded();
    }

    NavGraph graph_;
    World world_{graph_};
    Wall rider_{{0, 0, 10, 10}, 0xFF000000, 1, 0xFF000000};
};

TEST_F(PlatformTest, AQueuedMoveLandsOneFrameLateAndCarriesItsRiders) {
    Storey roof{Storey::roof};
    roof.carried.push_back(&rider_);
    settle(roof);

    roof.translate(5, 0);
    roof.update(0.01);
    EXPECT_EQ(roof.offsetX(), 0) << "an idle queue first spends a frame on its leading zero move";
    EXPECT_FALSE(roof.isShapeDirty());
    EXPECT_EQ(rider_.displacement().x, 0);

    roof.translate(7, 1); // queued behind the first move
    roof.update(0.01);
    EXPECT_EQ(roof.offsetX(), 5);
    EXPECT_TRUE(roof.isShapeDirty());
    EXPECT_TRUE(roof.isRedrawNeeded());
    EXPECT_EQ(rider_.displacement(), (gfx::PointF{5, 0}));

    roof.update(0.01);
    EXPECT_EQ(roof.offsetX(), 12);
    EXPECT_EQ(roof.offsetY(), 1);
    EXPECT_EQ(rider_.displacement(), (gfx::PointF{12, 1}));
    EXPECT_TRUE(roof.pendingMoves().empty());

    roof.refreshShape();
    EXPECT_EQ(roof.path().points()[0], (gfx::PointF{252, 201}));
}

TEST_F(PlatformTest, ZeroMovesNeverInvalidateAndObstaclesRideAlong) {
    Storey roof{Storey::roof};
    roof.carried.push_back(&rider_);
    settle(roof);
    roof.translate(0, 0);
    EXPECT_EQ(roof.pendingMoves().size(), 2u);
    for (int i = 0; i < 3; ++i)
        roof.update(0.01);
    EXPECT_FALSE(roof.isShapeDirty());
    EXPECT_FALSE(roof.isRedrawNeeded());
    EXPECT_TRUE(roof.pendingMoves().empty());

    Wall blocker({0, 0, 5, 5}, 0xFF000000, 1, 0xFF000000);
    roof.obstacles.push_back(&blocker);
    roof.carryRiders(3, -2);
    EXPECT_EQ(blocker.displacement(), (gfx::PointF{3, -2}));
    EXPECT_EQ(rider_.displacement(), (gfx::PointF{3, -2}));
    EXPECT_EQ(roof.offsetX(), 0) << "carrying the riders does not move the carrier";
}

TEST_F(PlatformTest, ClimbableOutlineReachAndImmediateMoves) {
    Climbable ladder("ladder", 350, 554, 20, 160, 10, nullptr, nullptr); // x 350-370, y 394-554
    ladder.refreshShape();
    EXPECT_EQ(ladder.path().figureCount(), 10) << "rails and nine rungs";
    EXPECT_EQ(ladder.path().points()[0], (gfx::PointF{350, 554}));
    EXPECT_EQ(ladder.path().points()[1], (gfx::PointF{350, 394}));
    EXPECT_EQ(ladder.path().figures()[1].bounds(), (gfx::RectF{354, 539, 12, 1})) << "first rung";
    for (int rungs : {0, 1}) {
        Climbable bare("bare", 0, 100, 20, 50, rungs, nullptr, nullptr);
        bare.refreshShape();
        EXPECT_EQ(bare.path().figureCount(), 1) << rungs;
    }

    // Ten pixels of reach on either side; the middle reaches the bottom, the bottom the top.
    const struct {
        gfx::RectF body;
        bool held;
    } reach[] = {
        {{355, 500, 10, 40}, true},     {{330.5f, 500, 10, 40}, true}, {{330, 500, 10, 40}, false},
        {{379.5f, 500, 10, 40}, true},  {{380, 500, 10, 40}, false},   {{355, 534, 10, 40}, true},
        {{355, 534.5f, 10, 40}, false}, {{355, 354, 10, 40}, true},    {{355, 353.5f, 10, 40}, false},
    };
    for (const auto& r : reach)
        EXPECT_EQ(ladder.supports(r.body), r.held) << r.body.x << "," << r.body.y;

    settle(ladder);
    ladder.translate(2, -3);
    EXPECT_TRUE(ladder.isShapeDirty()) << "a climbable moves at once";
    EXPECT_EQ(ladder.climbRect(), (gfx::RectF{352, 391, 20, 160}));
}

TEST_F(PlatformTest, ClimbableHandsItsClimbToTheGraph) {
    NavNode& foot = placeNode(graph_, Place::CableDangle1);
    NavNode& head = placeNode(graph_, Place::Cable1);
    Climbable loop("loop", 220.7f, 132.9f, 20, 90.5f, 1, &foot, &head);
    loop.registerInGame(world_);
    EXPECT_EQ(world_.objects().platformList(), (std::vector<Object*>{&loop}));
    EXPECT_EQ(world_.objects().drawList(), (std::vector<Object*>{&loop}));
    ASSERT_EQ(graph_.edgeList().size(), 2u);
    const NavEdge& up = graph_.edge(foot.index, head.index);
    EXPECT_EQ(up.platform, &loop);
    EXPECT_EQ(up.start(), (gfx::PointF{230, 132})) << "coordinates are truncated";
    EXPECT_EQ(up.end(), (gfx::PointF{230, 42}));
    EXPECT_EQ(foot.x, 230);
    EXPECT_EQ(head.y, 42);

    // A climbable whose ends are one place adds nothing.
    Climbable trunk("trunk", 700, 545, 10, 300, 1, &foot, &foot);
    trunk.registerInGame(world_);
    EXPECT_EQ(graph_.edgeList().size(), 2u);
    EXPECT_EQ(world_.objects().platformList().size(), 2u);
}

TEST_F(PlatformTest, ClimbableDrawsRailsAndRungsWithTheirPens) {
    gfx::Surface surface(100, 100);
    surface.fill(0xFFFFFFFF);
    gfx::Graphics g(surface);
    Climbable ladder("ladder", 20, 90, 20, 60, 4, nullptr, nullptr);
    ladder.refreshShape();
    ladder.draw(g);
    g.flush();
    EXPECT_NE(surface.pixel(20, 60), 0xFFFFFFFFu) << "left rail";
    EXPECT_NE(surface.pixel(30, 75), 0xFFFFFFFFu) << "first rung";
    EXPECT_EQ(surface.pixel(30, 68), 0xFFFFFFFFu) << "between the rungs";
}

} // namespace

// Through a seeded round with an earthquake, every contact answer a platform gives the bodies
// of the real level (the cast, the socks) is the clipper's: whether it touches a body, how
// deep a figure is sunk into a floor, and the slice of a climbable beside a climber.
TEST(PlatformContactTest, ContactAnswersInARoundAreTheClippers) {
    testing_level::Level level(5);
    Game& game = *level.game;
    game.paintEachFrame = false;
    const gfx::RectF slow = game.slowButton().bounds(false);
    game.onPointerClick({slow.x + slow.width / 2, slow.y + slow.height / 2});
    int compared = 0, sunk = 0, mismatches = 0;
    for (int frame = 0; frame < 1200; ++frame) {
        if (frame == 300 || frame == 900)
            game.onKey(U'e');
        if (frame == 500)
            game.onPointerClick({400, 300});
        level.frame(0.01);
        if (frame % 5 != 0)
            continue;
        for (Object* o : game.world().objects().agentList()) {
            auto& body = static_cast<Agent&>(*o);
            const gfx::RectF a = body.bounds(false);
            for (Object* q : game.world().objects().platformList()) {
                auto& p = static_cast<Platform&>(*q);
                gfx::Region touch = p.region();
                touch.intersect(a);
                bool same = p.Platform::touches(a) == !touch.isEmpty();
                if (p.isHorizontal()) {
                    gfx::Region depth = p.region();
                    depth.intersect(body.region());
                    same = same && p.sunkArea(body).height == depth.bounds().height;
                    sunk += depth.isEmpty() ? 0 : 1;
                } else {
                    const gfx::RectF band{0, a.y, 800, a.height};
                    gfx::Region slice = p.region();
                    slice.intersect(band);
                    same = same && p.region().boundsWithin(band) == slice.bounds();
                }
                ++compared;
                if (!same && ++mismatches <= 5)
                    ADD_FAILURE() << "frame " << frame << ": " << p.typeName() << " and a " << body.typeName()
                                  << " at " << a.x << ", " << a.y;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << compared;
    EXPECT_GT(sunk, 500) << "figures did sink into floors and were measured";
}

} // namespace game
