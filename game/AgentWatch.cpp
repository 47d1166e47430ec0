#include "game/AgentWatch.h"

#include "agents/Agent.h"
#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "game/Game.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace {

std::string describe(const Agent& agent, std::size_t index) {
    return "agent " + std::to_string(index) + " (" + agent.typeName() + ")";
}

// The active states, for the end of a failure line.
std::string statesOf(const Agent& agent) {
    std::vector<std::string> names;
    collectActiveStates(agent.rootState(), names);
    std::string out = "; states:";
    for (const std::string& name : names)
        out += ' ' + name;
    return out;
}

std::string point(gfx::PointF p) {
    std::ostringstream out;
    out << '(' << p.x << ", " << p.y << ')';
    return out.str();
}

} // namespace

bool AgentWatch::isWanderer(Agent& agent) {
    if (dynamic_cast<Animal*>(&agent) == nullptr)
        return false;
    const auto& entries = agent.behaviourList().entries();
    return std::any_of(entries.begin(), entries.end(),
                       [](const Behaviour& b) { return b.name == "random_goal"; });
}

std::string AgentWatch::check(Game& game, double seconds) {
    std::vector<Agent*> agents;
    for (Object* object : game.agentList)
        agents.push_back(dynamic_cast<Agent*>(object));
    // The Husband goes where he is sent and may stand for as long as the player leaves him.
    return check(agents, seconds, &game.husband);
}

std::string AgentWatch::check(std::span<Agent* const> agents, double seconds, const Agent* player) {
    // Nothing moves without a frame; a body just past the edge waits for the next one to wrap.
    if (seconds <= 0)
        return {};
    gameTime += seconds;
    std::map<const Agent*, Track> seen;
    for (std::size_t i = 0; i < agents.size(); ++i) {
        Agent* agent = agents[i];
        if (agent == nullptr)
            continue;
        Track& track = seen[agent];
        if (const auto found = tracks.find(agent); found != tracks.end()) {
            track = found->second;
        } else {
            track.checkedAt = track.spot = agent->getPosition();
            track.wanderer = agent != player && isWanderer(*agent);
        }
        track.index = i;
        if (std::string failure = checkOne(*agent, track, seconds); !failure.empty())
            return failure + statesOf(*agent);
    }
    // Agents that left the game are forgotten.
    tracks = std::move(seen);
    return {};
}

std::string AgentWatch::checkOne(const Agent& agent, Track& track, double seconds) const {
    const std::size_t index = track.index;
    const gfx::PointF p = agent.getPosition();
    const gfx::PointF v = agent.velocity();
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(v.x) || !std::isfinite(v.y)) {
        std::ostringstream out;
        out << describe(agent, index) << " has position " << point(p) << " and velocity " << point(v);
        return out.str();
    }
    // A body is put back once it is beyond the margin, before it moves on: it can only be
    // outside by as much as it moved since the last look.
    const float slackX = std::abs(p.x - track.checkedAt.x) + 0.5f;
    const float slackY = std::abs(p.y - track.checkedAt.y) + 0.5f;
    const float left = -kWrapMargin - slackX;
    const float right = Agent::kWorldWidth + kWrapMargin + slackX;
    const float top = -kWrapMargin - slackY;
    const float bottom = Agent::kWorldHeight + kWrapMargin + slackY;
    if (p.x < left || p.x > right || p.y < top || p.y > bottom)
        return describe(agent, index) + " is at " + point(p) +
               ", outside the world it wraps around (came from " + point(track.checkedAt) + ")";
    track.checkedAt = p;

    if (!track.wanderer)
        return {};
    const auto* animal = static_cast<const Animal*>(&agent);
    if (std::hypot(p.x - track.spot.x, p.y - track.spot.y) > limits.stuckRadius) {
        track.spot = p;
        track.nearSpotFor = 0;
    } else {
        track.nearSpotFor += seconds;
    }
    const NavNode* goal = animal->walkGoal();
    if (goal != track.goal) {
        track.goal = goal;
        track.sameGoalFor = 0;
        if (goal != nullptr)
            track.goals.insert(goal);
    } else {
        track.sameGoalFor += seconds;
    }
    const std::string heading = goal != nullptr ? "heading for " + goal->name : "with no goal";
    std::ostringstream out;
    if (track.nearSpotFor > limits.stuckSeconds)
        out << describe(agent, index) << " has stayed within " << limits.stuckRadius << " of "
            << point(track.spot) << " for " << track.nearSpotFor << " s of game time, " << heading;
    else if (track.sameGoalFor > limits.stuckSeconds)
        out << describe(agent, index) << " has been " << heading << " for " << track.sameGoalFor
            << " s of game time, now at " << point(p);
    return out.str();
}

std::string AgentWatch::summary() const {
    std::ostringstream out;
    out << "agent check: " << tracks.size() << " agents watched over " << gameTime << " s of game time";
    std::vector<const Track*> wanderers;
    for (const auto& [agent, track] : tracks)
        if (track.wanderer)
            wanderers.push_back(&track);
    std::sort(wanderers.begin(), wanderers.end(),
              [](const Track* a, const Track* b) { return a->index < b->index; });
    std::string goals;
    for (const Track* track : wanderers)
        goals += (goals.empty() ? "" : ", ") + std::to_string(track->goals.size());
    if (!wanderers.empty())
        out << "; " << wanderers.size() << " wanderers headed for " << goals << " different goals";
    return out.str();
}
