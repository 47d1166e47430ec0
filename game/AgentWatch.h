#pragma once

#include "gfx/Geometry.h"

#include <cstddef>
#include <deque>
#include <map>
#include <set>
#include <span>
#include <string>
#include <utility>

namespace game {

class Agent;
class Animal;
class Game;
class NavNode;

// Watches every agent of a game from frame to frame, for long unattended runs (the replay
// tool's --check-agents): position and velocity stay finite, bodies stay within the margin
// they wrap at, every wanderer keeps getting somewhere, and a body standing idle stays where
// it stands. A failure is one line of text.
class AgentWatch {
public:
    struct Limits {
        // Game time a wanderer may spend heading for one goal.
        double stuckSeconds = 120;
        // Game time a wanderer may spend walking near one spot, and how far it must get from
        // the spot to count as having moved on.
        double spotSeconds = 120;
        float stuckRadius = 40;
        // Game time any walker (the Husband too) may walk without getting closer to its goal
        // along its route, and by how much closer counts.
        double progressSeconds = 30;
        float progressStep = 5;
        // Changes between falling and standing (or hanging) that an animal may make within
        // one second: more is a body that a platform lets go and catches again.
        int flipsPerSecond = 10;
        // Game time within which an animal standing idle may be moved, and how far, by
        // anything but a walk, a quake, a throw or a hop of its own: more is a floor that let it go or lifted
        // it.
        double standSeconds = 2;
        float standDrift = 20;
    };

    // Bodies are put back into the world once they are this far outside it.
    static constexpr float kWrapMargin = 20;

    AgentWatch() = default;
    explicit AgentWatch(Limits chosen) : limits_(chosen) {}

    // After a frame of seconds of game time (0 when none was simulated): the first thing found
    // wrong with the game's agents, or an empty string.
    std::string check(Game& game, double seconds);
    // The same for the given agents (null entries are skipped); the player's figure is not
    // held to wandering. While the ground quakes, standing bodies ride along.
    std::string check(std::span<Agent* const> agents, double seconds, const Agent* player = nullptr,
                      bool quaking = false);
    // Agents watched, wanderers among them, and the goals they headed for.
    std::string summary() const;
    // Different platforms the agent has stood on while watched.
    std::size_t platformsVisited(const Agent& agent) const;

    // An animal that picks goals of its own whenever it stands idle.
    static bool isWanderer(Agent& agent);

private:
    struct Track {
        std::size_t index = 0; // in the agent list
        gfx::PointF checkedAt;
        bool wanderer = false;
        // Progress: the spot it was last near and the goal it was last heading for, with the
        // game time since each changed.
        gfx::PointF spot;
        double nearSpotFor = 0;
        const NavNode* goal = nullptr;
        double sameGoalFor = 0;
        std::set<const NavNode*> goals;
        std::set<const void*> platforms; // the platforms it has stood on
        // Progress of the current walk: the shortest way left to the goal so far, the edges
        // the route had then, and the game time since it last got closer.
        const NavNode* walkGoal = nullptr;
        double bestLeft = 0;
        std::size_t bestEdges = 0;
        double walkingFor = 0;
        // Falling or not, and the game times of recent changes between the two.
        bool attached = false;
        std::deque<double> flips;
        // Standing idle since it last landed idle on a platform: the places it has been at
        // since then (game time of arrival, most recent last) and what it first stood on.
        bool standing = false;
        gfx::PointF seenAt; // at the last look
        std::deque<std::pair<double, gfx::PointF>> stood;
        std::string stoodOn;
        // What tells that a walk was planned, a throw came or it hopped since the last look:
        // the walks started from one edge, the upward speed a throw allows (it only ever
        // falls), and its hops.
        const void* startEdge = nullptr;
        int startCount = 0;
        float throwAllowance = 0;
        long long hops = 0;
    };

    std::string checkOne(const Agent& agent, Track& track, double seconds, bool quaking) const;
    // Walking without getting closer, or falling and landing frame after frame.
    std::string checkProgress(const Agent& agent, Track& track, double seconds) const;
    // Standing idle, moved off the spot all the same.
    std::string checkStanding(const Animal& animal, Track& track, bool quaking) const;

    Limits limits_;
    std::map<const Agent*, Track> tracks_;
    double gameTime_ = 0;
    // Game time since the ground last quaked.
    double calmFor_ = 1e9;
};

} // namespace game
