#pragma once

#include "gfx/Geometry.h"

#include <cstddef>
#include <map>
#include <set>
#include <span>
#include <string>

class Agent;
class Game;
class NavNode;

// Watches every agent of a game from frame to frame, for long unattended runs (the replay
// tool's --check-agents): position and velocity stay finite, bodies stay within the margin
// they wrap at, and every wanderer keeps getting somewhere. A failure is one line of text.
class AgentWatch {
public:
    struct Limits {
        // Game time a wanderer may spend near one spot, or heading for one goal.
        double stuckSeconds = 120;
        // How far it must get from the spot to count as having moved on.
        float stuckRadius = 40;
    };

    // Bodies are put back into the world once they are this far outside it.
    static constexpr float kWrapMargin = 20;

    AgentWatch() = default;
    explicit AgentWatch(Limits chosen) : limits(chosen) {}

    // After a frame of seconds of game time (0 when none was simulated): the first thing found
    // wrong with the game's agents, or an empty string.
    std::string check(Game& game, double seconds);
    // The same for the given agents (null entries are skipped); the player's figure is not
    // held to wandering.
    std::string check(std::span<Agent* const> agents, double seconds, const Agent* player = nullptr);
    // Agents watched, wanderers among them, and the goals they headed for.
    std::string summary() const;

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
    };

    std::string checkOne(const Agent& agent, Track& track, double seconds) const;

    Limits limits;
    std::map<const Agent*, Track> tracks;
    double gameTime = 0;
};
