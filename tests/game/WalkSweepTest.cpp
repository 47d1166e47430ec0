#include "game/GameHost.h"

#include "characters/Husband.h"
#include "game/AgentWatch.h"
#include "level/Ground.h"
#include "level/Storey.h"
#include "scene/Platform.h"
#include "scene/World.h"
#include "widgets/Trampoline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace game {

// The player's central action, swept over the whole level through the real game: from where
// the Husband starts and from places reached by earlier clicks, a click on every place (and on
// a walkway of every platform) must bring him there within two minutes, and he must stay there.
// A trampoline's throw ends his walk, and one stands between the basement's ladder and each of
// its ends: a player may need a few tries to get past it, each taking a minute or so.

namespace {

constexpr double kLimitSeconds = 120;
constexpr int kCallsPerSecond = 100; // the window's 10 ms timer

struct Outcome {
    std::string target;
    double seconds = -1; // -1: did not get there
    std::string where;   // where he was instead
};

class Player {
public:
    explicit Player(std::uint32_t seed) : host_(800, 584, seed), thinking_(seed) {
        host_.game.paintEachFrame = false;
    }

    Husband& husband() { return host_.game.husband(); }
    NavGraph& graph() { return host_.graph; }

    // A click in place mode ('z') on a point that picks this node.
    bool clickNode(const NavNode& node) {
        gfx::PointF p;
        if (!pickPoint(graph(), node, p))
            return false;
        setPlaceMode(true);
        host_.game.onClick(static_cast<int>(p.x), static_cast<int>(p.y));
        return true;
    }

    // The client point nearest to the node where a click picks it; false if there is none (a
    // place covered by its neighbours' hit boxes, which no player can click).
    static bool pickPoint(NavGraph& graph, const NavNode& node, gfx::PointF& p) {
        for (int r = 0; r < 25; ++r)
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    p = {static_cast<float>(node.x + dx), static_cast<float>(node.y + dy)};
                    if (p.x >= 0 && p.y >= 0 && p.x < 800 && p.y < 584 && graph.nodeAt(p) == &node)
                        return true;
                }
        return false;
    }

    // A click in the default mode on a walkway, as near its middle as it lights up there
    // (where floors cross a ladder, the floor lights up); false if it lights up nowhere.
    bool clickEdge(const NavEdge& edge) {
        setPlaceMode(false);
        const gfx::PointF a = edge.start();
        const gfx::PointF b = edge.end();
        for (const float t : {0.5f, 0.4f, 0.6f, 0.3f, 0.7f, 0.2f, 0.8f}) {
            const int px = static_cast<int>(a.x + (b.x - a.x) * t);
            const int py = static_cast<int>(a.y + (b.y - a.y) * t);
            const NavEdge* lit = graph().nearestEdge({static_cast<float>(px), static_cast<float>(py)});
            if (lit == &edge || lit == graph().reverseEdge(edge)) {
                host_.game.onClick(px, py);
                return true;
            }
        }
        return false;
    }

    // Standing (idle, on a platform) within reach of the point.
    bool standsAt(gfx::PointF p) {
        Husband& h = husband();
        if (!h.isIdle() || !h.isAttached())
            return false;
        const gfx::RectF b = h.bounds(false);
        constexpr float kReach = 20;
        return p.x - kReach < b.x + b.width && b.x < p.x + kReach && p.y - kReach < b.y + b.height &&
               b.y < p.y + kReach;
    }

    // Runs timer calls until he stands at one of the points and is still standing there
    // (or has set off on a wander of his own) two seconds later; the game time it took to
    // get there, or -1 with what went wrong in lost. A trampoline's throw ends his walk: once
    // he lands, the player clicks again.
    double waitToStandAt(std::initializer_list<gfx::PointF> points, const std::function<bool()>& click,
                         std::string& lost) {
        bool thrown = false;
        int throws = 0;
        int landedFor = 0;
        int patience = 0;
        for (int call = 1; call <= kLimitSeconds * kCallsPerSecond; ++call) {
            step();
            for (gfx::PointF p : points)
                if (standsAt(p))
                    return staysThere(lost) ? static_cast<double>(call) / kCallsPerSecond : -1;
            constexpr float kThrowSpeed = -300; // far faster up than any walk or climb
            if (husband().isDetached() && husband().velocity().y < kThrowSpeed) {
                throws += thrown ? 0 : 1;
                thrown = true;
                landedFor = 0;
                // A player takes a moment of his own (up to a trampoline's cycle) before clicking
                // again; clicked at once, the walk back would reach the trampoline at the same
                // point of its cycle every time.
                patience = static_cast<int>(thinking_() % (5 * kCallsPerSecond));
            }
            if (thrown && husband().isIdle() && husband().isAttached() && ++landedFor > patience) {
                thrown = false;
                click();
            }
        }
        lost = whereHeIs() + (throws > 0 ? ", thrown " + std::to_string(throws) + " times" : "");
        return -1;
    }

    // For the next two seconds he stands (idle, on a platform) within reach of where he first
    // stood, unless he walks off on his own: nothing but a click may send him, so a walk now is
    // his rare wander.
    bool staysThere(std::string& lost) {
        constexpr int kHoldCalls = 2 * kCallsPerSecond;
        constexpr float kDrift = 20;
        // An earthquake carries him with the house (the storeys follow the ground a frame
        // apart): the two seconds count from when it is over.
        constexpr int kSettleCalls = kCallsPerSecond / 2;
        gfx::PointF stood = husband().position();
        for (int call = 1; call <= kHoldCalls; ++call) {
            step();
            Husband& h = husband();
            if (h.isWalking() && h.isAttached() && !h.isOffPath())
                return true;
            const gfx::PointF at = h.position();
            if (calm_ < kSettleCalls) {
                stood = at;
                call = 0;
            }
            if (!h.isIdle() || !h.isAttached() || std::hypot(at.x - stood.x, at.y - stood.y) > kDrift) {
                char text[64];
                std::snprintf(text, sizeof text, "stood at (%.0f, %.0f), %.2f s later ", stood.x, stood.y,
                              static_cast<double>(call) / kCallsPerSecond);
                lost = text + whereHeIs();
                return false;
            }
        }
        return true;
    }

    // One timer call, counting the calls since the ground last quaked.
    void step() {
        host_.timerCall();
        calm_ = host_.game.ground().isQuakeActive() ? 0 : calm_ + 1;
    }

    std::string whereHeIs() {
        Husband& h = husband();
        const gfx::PointF p = h.position();
        char text[96];
        std::snprintf(text, sizeof text, "at (%.0f, %.0f) on %s, %s", p.x, p.y,
                      h.platform() != nullptr ? h.platform()->typeName().c_str() : "nothing",
                      h.isIdle()      ? "idle"
                      : h.isWalking() ? "walking"
                                      : "falling");
        return text;
    }

    Outcome goToNode(const NavNode& node) {
        Outcome o{node.name, -1, {}};
        if (!clickNode(node))
            return o;
        o.seconds = waitToStandAt(
            {nodePoint(node)}, [&] { return clickNode(node); }, o.where);
        return o;
    }

    // A walkway click ends at either end of the walkway (walked along it).
    Outcome goToEdge(const NavEdge& edge) {
        Outcome o{edge.from->name + "->" + edge.to->name, -1, {}};
        if (!clickEdge(edge)) {
            o.where = "other walkways light up all along it";
            return o;
        }
        o.seconds = waitToStandAt(
            {edge.start(), edge.end()}, [&] { return clickEdge(edge); }, o.where);
        return o;
    }

    // Runs timer calls until the condition holds; false if it does not within the seconds.
    template <typename Condition> bool runUntil(double seconds, Condition&& holds) {
        for (int call = 0; call < seconds * kCallsPerSecond; ++call) {
            step();
            if (holds())
                return true;
        }
        return false;
    }

    Game& game() { return host_.game; }
    void clickAt(int x, int y, bool placeMode) {
        setPlaceMode(placeMode);
        host_.game.onClick(x, y);
    }

    static gfx::PointF nodePoint(const NavNode& n) {
        return {static_cast<float>(n.x), static_cast<float>(n.y)};
    }

private:
    void setPlaceMode(bool on) {
        if (host_.game.hoverNodes != on)
            host_.game.onKey(U'z');
    }

    GameHost host_;
    std::mt19937 thinking_;
    int calm_ = 0;
};

// The places a player can click: placed nodes that a click in place mode picks.
std::vector<const NavNode*> placesOf(NavGraph& graph) {
    std::vector<const NavNode*> places;
    gfx::PointF p;
    for (const NavNode* n : graph.nodes())
        if (n->x >= 0 && Player::pickPoint(graph, *n, p))
            places.push_back(n);
    return places;
}

// One two-way walkway per platform, inside the world: the walkways a player clicks.
std::vector<const NavEdge*> walkwaysOf(NavGraph& graph) {
    std::vector<const NavEdge*> walkways;
    std::vector<const Object*> platforms;
    for (NavEdge* e : graph.edgeList()) {
        if (!e->exists() || graph.reverseEdge(*e) == nullptr)
            continue;
        if (std::find(platforms.begin(), platforms.end(), e->platform) != platforms.end())
            continue;
        const gfx::PointF a = e->start();
        const gfx::PointF b = e->end();
        if (std::min({a.x, b.x, a.y, b.y}) < 0 || std::max(a.x, b.x) > 800 || std::max(a.y, b.y) > 584)
            continue;
        platforms.push_back(e->platform);
        walkways.push_back(e);
    }
    return walkways;
}

std::string report(const std::string& start, const std::vector<Outcome>& outcomes) {
    std::vector<double> times;
    std::string failures;
    for (const Outcome& o : outcomes) {
        if (o.seconds >= 0)
            times.push_back(o.seconds);
        else
            failures += "\n  " + o.target + ": " + (o.where.empty() ? "cannot be clicked" : o.where);
    }
    std::sort(times.begin(), times.end());
    char line[160];
    std::snprintf(line, sizeof line, "from %s: %zu of %zu reached, median %.1f s, worst %.1f s",
                  start.c_str(), times.size(), outcomes.size(), times.empty() ? 0.0 : times[times.size() / 2],
                  times.empty() ? 0.0 : times.back());
    return line + failures;
}

struct Sweep {
    const char* start;  // the place clicked first; nullptr: where the game puts him
    std::uint32_t seed; // the game's, and the order of the clicks that follow
    bool walkways;      // walkway clicks instead of place clicks
};

class WalkSweep : public testing::TestWithParam<Sweep> {};

} // namespace

// From the start, every place is clicked in a fresh game: the player's first click. From the
// other starts the places are clicked one after the other in a shuffled order, so each click
// also starts from a place an earlier click reached.
TEST_P(WalkSweep, TheHusbandGetsWhereThePlayerClicks) {
    const Sweep sweep = GetParam();
    std::vector<Outcome> outcomes;
    std::string startName = "the start";
    if (sweep.start == nullptr && !sweep.walkways) {
        Player probe(sweep.seed);
        for (const NavNode* place : placesOf(probe.graph())) {
            Player player(sweep.seed);
            outcomes.push_back(player.goToNode(player.graph().node(place->index)));
        }
    } else {
        Player player(sweep.seed);
        if (sweep.start != nullptr) {
            startName = sweep.start;
            const Outcome first = player.goToNode(*player.graph().node(sweep.start));
            ASSERT_GE(first.seconds, 0) << "the start " << sweep.start << ": " << first.where;
        }
        std::mt19937 order(sweep.seed);
        if (sweep.walkways) {
            std::vector<const NavEdge*> walkways = walkwaysOf(player.graph());
            ASSERT_GE(walkways.size(), 15u) << "a walkway on every platform";
            std::shuffle(walkways.begin(), walkways.end(), order);
            for (const NavEdge* e : walkways)
                outcomes.push_back(player.goToEdge(*e));
        } else {
            std::vector<const NavNode*> places = placesOf(player.graph());
            std::shuffle(places.begin(), places.end(), order);
            for (const NavNode* place : places)
                outcomes.push_back(player.goToNode(*place));
        }
    }
    const std::string summary = report(startName, outcomes);
    std::printf("%s\n", summary.c_str());
    EXPECT_TRUE(std::all_of(outcomes.begin(), outcomes.end(), [](const Outcome& o) {
        return o.seconds >= 0;
    })) << summary;
}

INSTANTIATE_TEST_SUITE_P(Level, WalkSweep,
                         testing::Values(Sweep{nullptr, 9, false}, Sweep{"ground_right", 3, false},
                                         Sweep{"basement_left", 5, false},
                                         Sweep{"second_floor_left", 7, false},
                                         Sweep{"tree_branch2_end", 11, false},
                                         Sweep{"den_roof_middle", 13, true},
                                         // The same again on other seeds: other quakes, throws
                                         // and orders.
                                         Sweep{nullptr, 21, false}, Sweep{"roof_middle", 17, false},
                                         Sweep{"ground_side", 23, false}, Sweep{"cable_3", 19, false},
                                         Sweep{"basement_right", 29, true}),
                         [](const testing::TestParamInfo<Sweep>& param) {
                             return std::string(param.param.walkways ? "walkways_from_" : "places_from_") +
                                    (param.param.start != nullptr ? param.param.start : "start") + "_seed" +
                                    std::to_string(param.param.seed);
                         });

// A trampoline's throw ends the walk: he flies free of every floor on the way up, lands on
// whatever he comes down on and walks nowhere until the player sends him on again.
TEST(Walking, AThrowEndsTheWalk) {
    Player player(2);
    Husband& h = player.husband();
    ASSERT_TRUE(player.clickNode(*player.graph().node("basement_right")));
    Trampoline& spring = player.game().floorBasement().trampolines.back();
    ASSERT_TRUE(player.runUntil(60, [&] {
        const float x = h.position().x;
        return h.isWalking() && h.platform() == &player.game().floorBasement() && x > 490 && x < 510;
    })) << "walks over the trampoline";
    ASSERT_TRUE(spring.tryLaunch());
    EXPECT_TRUE(h.isIdle() && h.walkGoal() == nullptr) << "the walk is over";
    std::string caught;
    ASSERT_TRUE(player.runUntil(10, [&] {
        if (h.velocity().y < 0 && h.isAttached() && caught.empty())
            caught = "caught on the way up by " + h.platform()->typeName();
        return h.velocity().y >= 0 && h.isAttached();
    })) << "lands";
    EXPECT_EQ(caught, "");
    EXPECT_LT(h.position().y, 500) << "thrown up into the house";
    EXPECT_FALSE(player.runUntil(5, [&] { return h.isWalking(); })) << "walks on to nowhere";
    EXPECT_TRUE(h.isIdle() && h.isAttached());
}

// A place no walkway leads to (the corner, where the pole's unplaced places lie): he gives
// the goal up at once and stands still, without hopping about in search of a way.
TEST(Walking, AnUnreachableGoalIsGivenUp) {
    Player player(9);
    Husband& h = player.husband();
    ASSERT_TRUE(player.runUntil(10, [&] { return h.isIdle() && h.isAttached(); }));
    player.runUntil(3, [] { return false; }); // settled into the standing pose
    const NavNode* corner = player.graph().nodeAt({10, 10});
    ASSERT_NE(corner, nullptr);
    ASSERT_LT(corner->x, 0) << corner->name << " is not placed in the level";
    const gfx::PointF stood = h.position();
    player.clickAt(10, 10, true);
    EXPECT_TRUE(player.runUntil(0.5, [&] { return h.isIdle() && h.isAttached(); }));
    EXPECT_EQ(h.walkGoal(), nullptr);
    EXPECT_FALSE(player.runUntil(5, [&] { return !h.isIdle(); }));
    EXPECT_NEAR(h.position().x, stood.x, 1) << "no hops";
}

// Sent on again where he stands, he plans the new walk from there instead of being let go and
// caught by whatever his figure overlaps first; and a fall onto the steep ramp ends where he
// lands. The standing check watches each case from start to end.
TEST(Walking, HeStaysOnWhatHoldsHim) {
    struct Case {
        const char* name;
        std::function<void(Player&)> act;
        std::function<bool(Player&)> holds; // every step after the act
    };
    const auto onGround = [](Player& p) { return p.husband().platform() == &p.game().ground(); };
    float landedAt = 0;
    const Case cases[] = {
        {"walking on the ground beneath the ramp",
         [](Player& p) {
             Husband& h = p.husband();
             ASSERT_GE(p.goToNode(*p.graph().node("ground_and_tree")).seconds, 0);
             ASSERT_TRUE(p.clickNode(*p.graph().node("ground_side")));
             ASSERT_TRUE(p.runUntil(
                 20, [&] { return h.isWalking() && h.position().x > 598 && h.position().x < 612; }));
             ASSERT_TRUE(p.clickNode(*p.graph().node("ground_right")));
         },
         onGround},
        {"clicked again and again at a branch's tip before his feet settle",
         [](Player& p) {
             Husband& h = p.husband();
             const NavNode& tip = *p.graph().node("tree_branch1_end");
             ASSERT_TRUE(p.clickNode(tip));
             ASSERT_TRUE(p.runUntil(120, [&] { return p.standsAt(Player::nodePoint(tip)); }));
             for (int i = 0; i < 8; ++i) {
                 ASSERT_TRUE(p.clickNode(tip));
                 ASSERT_FALSE(p.runUntil(0.1, [&] { return !h.isAttached(); })) << "let go at click " << i;
             }
         },
         [](Player& p) { return p.husband().isAttached() && p.husband().hops() == 0; }},
        {"dropped onto the ramp",
         [&](Player& p) {
             Husband& h = p.husband();
             ASSERT_TRUE(p.runUntil(10, [&] { return h.isIdle() && h.isAttached(); }));
             h.moveTo(586, 300);
             h.halt();
             ASSERT_TRUE(p.runUntil(3, [&] { return h.isAttached(); }));
             ASSERT_EQ(h.platform(), &p.game().floorFirst());
             // Kept, the fall's speed carries him on through the ramp, thin and steep as it is.
             EXPECT_LT(h.velocity().y, 20) << "the landing ends the fall";
             landedAt = h.position().y;
         },
         [&](Player& p) {
             const Husband& h = p.husband();
             landedAt = h.isWalking() ? h.position().y : landedAt; // off on a wander of his own
             return h.platform() == &p.game().floorFirst() && std::abs(h.position().y - landedAt) < 20;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Player player(5);
        AgentWatch watch;
        c.act(player);
        if (testing::Test::HasFatalFailure())
            continue;
        std::string failure;
        for (int call = 0; call < 3 * kCallsPerSecond && failure.empty(); ++call) {
            player.step();
            failure = watch.check(player.game(), 1.0 / kCallsPerSecond);
            if (failure.empty() && !c.holds(player))
                failure = "let go: " + player.whereHeIs();
        }
        EXPECT_EQ(failure, "");
    }
}

// Ten minutes of the cast wandering on their own, the Husband sent somewhere new now and then
// so that he walks among them: no wanderer walks on the spot (within 5 units for 30 s), and
// each gets around the level.
class Wandering : public testing::TestWithParam<std::uint32_t> {};

TEST_P(Wandering, EveryWandererGetsAroundTheLevel) {
    constexpr int kMinutes = 10;
    constexpr std::size_t kLeastPlatforms = 8;
    GameHost host(800, 584, GetParam());
    host.game.paintEachFrame = false;
    AgentWatch watch({.spotSeconds = 30, .stuckRadius = 5});
    std::mt19937 clicks(GetParam());
    std::string failure;
    for (int call = 1; call <= kMinutes * 60 * kCallsPerSecond && failure.empty(); ++call) {
        if (call % (20 * kCallsPerSecond) == 0)
            host.game.onClick(static_cast<int>(clicks() % 800), static_cast<int>(clicks() % 584));
        host.timerCall();
        failure = watch.check(host.game, 1.0 / kCallsPerSecond);
    }
    ASSERT_EQ(failure, "") << watch.summary();
    int wanderers = 0;
    for (Object* o : host.game.world().objects().agentList()) {
        auto& agent = dynamic_cast<Agent&>(*o);
        if (&agent == &host.game.husband() || !AgentWatch::isWanderer(agent))
            continue;
        ++wanderers;
        EXPECT_GE(watch.platformsVisited(agent), kLeastPlatforms)
            << agent.typeName() << "; " << watch.summary();
    }
    EXPECT_GE(wanderers, 3) << "the cats at least";
}

INSTANTIATE_TEST_SUITE_P(Level, Wandering, testing::Values(2u, 4u));

} // namespace game
