#include "level/LevelFixture.h"

#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "scene/Platform.h"
#include "scene/World.h"
#include "widgets/Trampoline.h"

#include <gtest/gtest.h>

#include "level/Ground.h"
#include "level/Storey.h"
#include "level/TelephonePole.h"
#include <cmath>
#include <set>
#include <sstream>
#include <string>

namespace game {

using testing_level::Level;

namespace {

// A walking block standing on its position, placed where the test wants it. (The default
// cross has no area, so floors could not lift it.)
class Walker : public Animal {
public:
    Walker(float atX, float atY, float wide = 10, float tall = 20) : width_(wide), height_(tall) {
        moveTo(atX, atY);
    }
    void rebuildPath() override {
        path_.reset();
        path_.addRectangle({x_ - width_ / 2, y_ - height_, width_, height_});
        clearShapeDirty();
    }
    using Animal::leavePath;
    using Animal::toNextStartNode_;
    using Animal::walk_;

private:
    float width_, height_;
};

// Lands a walker dropped at (x, y) and keeps it out of the trampolines' reach.
void land(Level& level, Walker& w) {
    w.registerInGame(level.game->world());
    level.game->world().objects().clear(ObjectRegistry::List::Animal);
    for (int i = 0; i < 300 && !w.isAttached(); ++i)
        level.frame(0.01);
    ASSERT_TRUE(w.isAttached());
}

std::string platformName(const Agent& a) {
    return a.platform() != nullptr ? a.platform()->typeName() : std::string("none");
}

} // namespace

TEST(Animal, LandsThenWandersFromPlatformToPlatform) {
    Level level;
    Walker w(380, 50);
    w.registerInGame(level.game->world());
    std::set<std::string> rested;
    std::string first;
    for (int i = 0; i < 100 * 90; ++i) {
        level.frame(0.01);
        const gfx::PointF p = w.position();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "frame " << i;
        if (w.isAttached()) {
            rested.insert(platformName(w));
            if (first.empty())
                first = platformName(w);
        }
    }
    EXPECT_FALSE(first.empty()) << "lands somewhere";
    EXPECT_GE(rested.size(), 6u) << "a wanderer reaches many platforms in 90 s";
}

TEST(Animal, WalksEndAtTheGoalOrAtAWallAndCountTheirStartEdge) {
    Level level;
    Walker w(300, 570);
    w.registerInGame(level.game->world());
    level.game->world().objects().clear(ObjectRegistry::List::Animal); // out of the trampolines' reach
    for (int i = 0; i < 100 && !w.isAttached(); ++i)
        level.frame(0.01);
    ASSERT_EQ(platformName(w), "FloorBasement");
    // Stand still first: the wanderer would pick its own goals.
    w.halt();
    // The right wall stands before the floor's right end.
    NavNode& right = level.node("basement_right");
    level.frame(0.01);
    ASSERT_TRUE(w.walkTo(right.index, nullptr));
    EXPECT_EQ(w.startLocation().startCount, 1);
    ASSERT_TRUE(w.walkTo(right.index, nullptr));
    EXPECT_EQ(w.startLocation().startCount, 2) << "a second walk from the same edge";
    for (int i = 0; i < 1000 && w.isWalking(); ++i) {
        level.frame(0.01);
    }
    // The wall is where a walk to the floor's end ends: it stands there, not bounced back.
    EXPECT_TRUE(w.isIdle());
    EXPECT_EQ(w.velocity().x, 0);
    EXPECT_GT(w.position().x, 500);
    EXPECT_LT(w.position().x, 540);

    // Still touching the wall, it can walk away from it.
    NavNode& ladder = level.node("basement_and_basement_ladder");
    ASSERT_TRUE(w.walkTo(ladder.index, nullptr));
    for (int i = 0; i < 1000 && w.isWalking(); ++i)
        level.frame(0.01);
    EXPECT_TRUE(w.isIdle());
    EXPECT_EQ(w.velocity().x, 0);
    EXPECT_NEAR(w.position().x, ladder.x, 10);
}

// Cases the walking code must survive: sent off with no route yet and then wrapped round the
// screen edge, recovering with no goal at all, standing past the edge, and steering towards the
// very point it stands on.
TEST(Animal, SurvivesWalksWithoutRouteGoalOrDirection) {
    Level level;
    Walker w(420, 570);
    land(level, w);
    Platform& floor = *w.platform();
    NavNode& ladder = level.node("basement_and_basement_ladder");

    // Sent towards a node, then carried beyond the left edge before any route was planned:
    // it reappears on the right and still heads for the same node.
    w.headForNode(&ladder);
    w.attachTo(floor);
    w.moveTo(-30, 570);
    w.wrapOffScreen(0.01);
    EXPECT_EQ(w.position().x, 800);
    EXPECT_TRUE(w.isOffPath());
    EXPECT_EQ(w.walkGoal(), &ladder);

    // Off the path with neither a goal node nor a goal edge: it stands still.
    w.moveTo(420, 570);
    w.headForNode(nullptr);
    w.attachTo(floor);
    w.recoverFromOffPath(0.01);
    EXPECT_TRUE(w.isIdle());

    // Standing idle on a platform that still holds it past the right edge (the ground holds
    // anything): it comes back on the left and falls from there.
    w.attachTo(level.game->ground());
    w.moveTo(830, 500);
    w.platformFeedbackAttached(0.01);
    EXPECT_EQ(w.position().x, 0);
    EXPECT_TRUE(w.isDetached());

    // Stepping towards the next edge's start from exactly that point steers nowhere.
    NavEdge* next = level.graph->edgeOnPlatform(&level.game->floorFirst(), {100, 400, 600, 100});
    ASSERT_NE(next, nullptr);
    w.attachTo(floor);
    w.walk_.route = {next};
    w.toNextStartNode_.activate();
    w.moveTo(next->start().x, next->start().y);
    w.walkToNextStartNodeHorizontal(0.01);
    EXPECT_TRUE(std::isfinite(w.velocity().x) && std::isfinite(w.velocity().y));
    EXPECT_TRUE(std::isfinite(w.position().x) && std::isfinite(w.position().y));
}

// A trampoline throws the animal standing on it only in the last quarter of its cycle; before
// any frame interval was measured the launch uses the base speed.
TEST(Animal, TrampolinesLaunchInTheLastQuarterOfTheirCycle) {
    Level level;
    Trampoline& spring = level.game->floorBasement().trampolines.back();
    EXPECT_FALSE(spring.tryLaunch()) << "nobody on it yet";
    Walker w(500, 574);
    w.registerInGame(level.game->world());
    w.attachTo(level.game->floorBasement());
    w.halt();
    ASSERT_TRUE(spring.tryLaunch());
    EXPECT_EQ(w.velocity().y, -400) << "frame rate still unknown";
    EXPECT_TRUE(w.isDetached());

    // Driven by the frame cycle: half way through nothing happens, in the last quarter the
    // next phase change launches and restarts the cycle.
    Level timed;
    Walker v(500, 574);
    v.registerInGame(timed.game->world());
    Trampoline& right = timed.game->floorBasement().trampolines.back();
    for (int i = 0; i < 250; ++i) {
        v.moveTo(500, 574);
        v.velocity() = {0, 0};
        timed.frame(0.01);
    }
    EXPECT_GE(v.velocity().y, 0) << "not launched at half the period";
    bool launched = false;
    for (int i = 0; i < 200 && !launched; ++i) {
        v.moveTo(500, 574);
        timed.frame(0.01);
        launched = v.velocity().y < -400;
    }
    EXPECT_TRUE(launched) << "a measured 100 f/s launches higher than the base speed";
    EXPECT_LT(right.cycleTime(), 0.5) << "the cycle restarted";
}

// A walk carried off its route keeps the place it was planned for, however often it falls:
// the route's last walkway must not replace the place (and then turn round at every fall).
TEST(Animal, KeepsItsGoalThroughEveryFall) {
    Level level;
    Walker w(420, 570);
    land(level, w);
    Platform& floor = *w.platform();
    NavNode& goal = level.node("second_floor_right");
    ASSERT_TRUE(w.walkTo(goal.index, nullptr));
    for (int fall = 1; fall <= 8; ++fall) {
        w.leavePath(w.route().back());
        EXPECT_EQ(w.walkGoal(), &goal) << "fall " << fall;
        // After six walks from the same spot it hops first and plans on the next step.
        for (int step = 0; step < 2 && w.isOffPath(); ++step) {
            w.attachTo(floor);
            w.recoverFromOffPath(0.01);
        }
        ASSERT_FALSE(w.isOffPath()) << "fall " << fall;
        EXPECT_EQ(w.route().back()->to, &goal) << "fall " << fall;
    }
}

// Spots where a floor holds a body just above the walkway it is to walk on next: the walk must
// go on from there, not leave it pressing on the spot or hopping about in search of a walkway.
TEST(Animal, WalksOnFromWhereAFloorHoldsItAboveItsWalkway) {
    using PlatformOf = Platform& (*)(Game&);
    const struct {
        const char* name;
        float x, feet, wide, tall;
        PlatformOf on;
        const char *from, *to; // the walkway to walk next, or where to walk to from here
        PlatformOf reaches;    // where that walk leads within a few seconds
    } cases[] = {
        // Beyond the pole the cable's walkway slopes down to the world's edge, under a body
        // still standing at the pole's height.
        {"the cable's end beyond the pole", 2, 75, 22, 60,
         [](Game& g) -> Platform& { return g.ground().telephonePole().cable(); }, "cable_0", "pole_middle",
         [](Game& g) -> Platform& { return g.ground().telephonePole(); }},
        // The first floor's step ends where the ground's walkway starts, under a wide figure's
        // middle, while the step still holds the figure's other half.
        {"the first floor's step", 119.8f, 447, 46, 43, [](Game& g) -> Platform& { return g.floorFirst(); },
         "ground_and_first_floor_left", "ground_landing", [](Game& g) -> Platform& { return g.ground(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Level level;
        Game& game = *level.game;
        Walker w(c.x, c.feet, c.wide, c.tall);
        w.registerInGame(game.world());
        game.world().objects().clear(ObjectRegistry::List::Animal);
        w.attachTo(c.on(game));
        NavEdge& next = level.graph->edge(level.node(c.from).index, level.node(c.to).index);
        if (!next.exists()) {
            ASSERT_TRUE(w.walkTo(level.node(c.to).index, nullptr)) << "no walkway to start from";
        } else {
            // Its last walk ended at the step's end; the next walkway is the ground's.
            w.walk_.route = {&next};
            w.walk_.goalNode = &level.node(c.to);
            w.walk_.activate();
            w.toNextStartNode_.activate();
        }
        for (int i = 0; i < 500 && w.platform() != &c.reaches(game); ++i)
            level.frame(0.01);
        EXPECT_EQ(w.platform(), &c.reaches(game))
            << "on " << platformName(w) << " at (" << w.position().x << ", " << w.position().y << ")";
    }
}

} // namespace game
