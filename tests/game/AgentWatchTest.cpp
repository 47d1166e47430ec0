#include "level/LevelFixture.h"

#include "agents/Animal.h"
#include "game/AgentWatch.h"
#include "level/Ground.h"
#include "scene/World.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace game {

using testing_level::Level;

namespace {

constexpr double kStep = 0.01;

// A wanderer of a person's height (floors hold it, and it reaches the foot of every ladder),
// dropped where the test wants it.
class Walker : public Animal {
public:
    Walker(float atX, float atY) { moveTo(atX, atY); }
    void rebuildPath() override {
        path_.reset();
        path_.addRectangle({x_ - 5, y_ - 50, 10, 50});
        clearShapeDirty();
    }
};

// A wanderer that never picks a goal: it lands and stays.
class Lazy : public Walker {
public:
    using Walker::Walker;
    int randomGoal(double) override { return 0; }
    using Walker::randomNudge;
};

// A body that runs none of its behaviours, so nothing puts it back into the world.
class Frozen : public Walker {
public:
    using Walker::Walker;
    void update(double) override {}
};

// Runs frames until the watch fails or the game time is up; the failure, if any. Only the
// test's own body is watched: the cast of the game has its own soak.
std::string watch(Level& level, Agent& body, AgentWatch& watch, double seconds) {
    level.game->paintEachFrame = false;
    Agent* const watched[] = {&body};
    for (double t = 0; t < seconds; t += kStep) {
        level.frame(kStep);
        if (std::string failure = watch.check(watched, kStep, nullptr, level.game->ground().isQuakeActive());
            !failure.empty())
            return failure;
    }
    return {};
}

// A walker whose legs do not move it: it stays where it is, walking.
class Treading : public Walker {
public:
    using Walker::Walker;
    int walkToEndNode(double) override { return 0; }
};

// A body that every platform lets go and catches again in the next frame.
class Flickering : public Lazy {
public:
    using Lazy::Lazy;
    void update(double dt) override {
        Lazy::update(dt);
        if (platform() != nullptr && ++frames_ % 2 == 0)
            detached_.activate();
    }

private:
    int frames_ = 0;
};

} // namespace

TEST(AgentWatch, EachFaultIsOneLineNamingTheAgent) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* fault;
        float x, y; // where the frozen body is put
        const char* expected;
    } cases[] = {
        {"not a number", kNaN, 300, "has position (nan, 300)"},
        {"far left", -60, 300, "is at (-60, 300), outside the world"},
        {"below", 400, 700, "is at (400, 700), outside the world"},
    };
    for (const auto& c : cases) {
        Level level;
        Frozen body(400, 300);
        body.registerInGame(level.game->world());
        AgentWatch check;
        ASSERT_EQ(watch(level, body, check, kStep), "") << c.fault;
        // A body may end a frame past the edge by as much as it moved; one that stays there
        // is caught on the frame after.
        body.moveTo(c.x, c.y);
        const std::string failure = watch(level, body, check, 2 * kStep);
        EXPECT_EQ(failure.rfind("agent 0 (Animal) ", 0), 0u) << c.fault << ": " << failure;
        EXPECT_NE(failure.find(c.expected), std::string::npos) << c.fault << ": " << failure;
        EXPECT_EQ(failure.find('\n'), std::string::npos);
    }
}

TEST(AgentWatch, AWandererThatStaysPutFailsOnlyAfterTheLimit) {
    Level level;
    Lazy body(150, 400); // lands on the hillside and stays
    body.registerInGame(level.game->world());
    AgentWatch check({.stuckSeconds = 5, .stuckRadius = 40});
    EXPECT_EQ(watch(level, body, check, 4), "");
    const std::string failure = watch(level, body, check, 3);
    EXPECT_NE(failure.find("has been with no goal for 5"), std::string::npos) << failure;
}

// Faults of progress, each caught after its limit and not before: walking without getting
// closer, and changing between falling and standing frame after frame.
TEST(AgentWatch, AWalkThatGetsNowhereAndAFlickeringBodyFail) {
    {
        Level level;
        Treading body(150, 400);
        body.registerInGame(level.game->world());
        AgentWatch check({.progressSeconds = 5});
        ASSERT_EQ(watch(level, body, check, 1), "") << "lands";
        ASSERT_TRUE(body.walkTo(level.node("ground_right").index, nullptr));
        EXPECT_EQ(watch(level, body, check, 4.5), "");
        const std::string failure = watch(level, body, check, 1);
        EXPECT_NE(failure.find("without getting closer to ground_right"), std::string::npos) << failure;
    }
    {
        Level level;
        Flickering body(150, 400);
        body.registerInGame(level.game->world());
        AgentWatch check;
        const std::string failure = watch(level, body, check, 3);
        EXPECT_NE(failure.find("changed between falling and standing"), std::string::npos) << failure;
    }
}

// A body standing idle stays where it stands unless it is sent off, thrown or shaken: moved
// off its spot by anything else (a floor that lets it go or lifts it), it fails. Each case acts
// on a body standing on the hillside, once or twice some time apart.
TEST(AgentWatch, ABodyStandingIdleThatIsMovedByNothingFails) {
    const struct {
        const char* what;
        std::function<void(Level&, Lazy&)> act;
        double again; // seconds until it acts a second time; 0: once
        bool fails;
    } cases[] = {
        {"carried sideways", [](Level&, Lazy& b) { b.moveBy(30, 0); }, 0, true},
        {"lifted off the ground", [](Level&, Lazy& b) { b.moveBy(0, -30); }, 0, true},
        {"nudged twice within a second", [](Level&, Lazy& b) { b.moveBy(15, 0); }, 0.5, true},
        {"nudged twice, far apart", [](Level&, Lazy& b) { b.moveBy(15, 0); }, 3, false},
        {"sent off", [](Level& l, Lazy& b) { b.walkTo(l.node("ground_right").index, nullptr); }, 0, false},
        {"thrown", [](Level&, Lazy& b) { b.launch(600); }, 0, false},
        {"thrown running, sliding on where it lands",
         [](Level&, Lazy& b) {
             b.velocity().x = 60;
             b.launch(300);
         },
         0, false},
        {"hopping about a spot where no walk starts",
         [](Level&, Lazy& b) {
             for (int hop = 0; hop < 2; ++hop)
                 b.randomNudge();
         },
         0.1, false},
        {"shaken by a quake", [](Level& l, Lazy&) { l.game->world().settings().groundEventRequest = true; },
         0, false},
    };
    for (const auto& c : cases) {
        Level level;
        Lazy body(150, 400);
        body.registerInGame(level.game->world());
        AgentWatch check({.standSeconds = 2, .standDrift = 20});
        ASSERT_EQ(watch(level, body, check, 1.5), "") << c.what;
        ASSERT_TRUE(body.isIdle() && body.isAttached()) << c.what << ": stands on the hillside";
        c.act(level, body);
        std::string failure = watch(level, body, check, c.again);
        if (failure.empty() && c.again > 0)
            c.act(level, body);
        if (failure.empty())
            failure = watch(level, body, check, 4);
        if (c.fails) {
            EXPECT_EQ(failure.rfind("agent 0 (Animal) stood idle at (", 0), 0u) << c.what << ": " << failure;
            EXPECT_NE(failure.find("by no walk, quake, throw or hop"), std::string::npos)
                << c.what << ": " << failure;
        } else {
            EXPECT_EQ(failure, "") << c.what;
        }
    }
}

} // namespace game
