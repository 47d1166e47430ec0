#include "game/AgentWatch.h"

#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "characters/Husband.h"
#include "game/Game.h"
#include "level/Ground.h"
#include "scene/Agent.h"
#include "scene/Platform.h"
#include "scene/World.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace game {

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
    if (agent.platform() != nullptr)
        out += "; on " + agent.platform()->typeName();
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
    for (Object* object : game.world().objects().agentList())
        agents.push_back(dynamic_cast<Agent*>(object));
    // The Husband goes where he is sent and may stand for as long as the player leaves him.
    // The storeys follow the ground a frame apart, the roof last: the house has settled a
    // moment after the ground stops.
    constexpr double kSettleSeconds = 0.5;
    calmFor_ = game.ground().isQuakeActive() ? 0 : calmFor_ + seconds;
    return check(agents, seconds, &game.husband(), calmFor_ < kSettleSeconds);
}

std::string AgentWatch::check(std::span<Agent* const> agents, double seconds, const Agent* player,
                              bool quaking) {
    // Nothing moves without a frame; a body just past the edge waits for the next one to wrap.
    if (seconds <= 0)
        return {};
    gameTime_ += seconds;
    std::map<const Agent*, Track> seen;
    for (std::size_t i = 0; i < agents.size(); ++i) {
        Agent* agent = agents[i];
        if (agent == nullptr)
            continue;
        Track& track = seen[agent];
        if (const auto found = tracks_.find(agent); found != tracks_.end()) {
            track = found->second;
        } else {
            track.checkedAt = track.spot = agent->position();
            track.wanderer = agent != player && isWanderer(*agent);
        }
        track.index = i;
        if (std::string failure = checkOne(*agent, track, seconds, quaking); !failure.empty())
            return failure + statesOf(*agent);
    }
    // Agents that left the game are forgotten.
    tracks_ = std::move(seen);
    return {};
}

std::string AgentWatch::checkOne(const Agent& agent, Track& track, double seconds, bool quaking) const {
    const std::size_t index = track.index;
    const gfx::PointF p = agent.position();
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
    if (agent.isAttached() && agent.platform() != nullptr)
        track.platforms.insert(agent.platform());
    if (std::string failure = checkProgress(agent, track, seconds); !failure.empty())
        return failure;
    if (const auto* animal = dynamic_cast<const Animal*>(&agent))
        if (std::string failure = checkStanding(*animal, track, quaking); !failure.empty())
            return failure;

    if (!track.wanderer)
        return {};
    const auto* animal = static_cast<const Animal*>(&agent);
    // Standing still is no fault: a wanderer without a goal is caught by the goal limit.
    if (std::hypot(p.x - track.spot.x, p.y - track.spot.y) > limits_.stuckRadius || !animal->isWalking()) {
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
    if (track.nearSpotFor > limits_.spotSeconds)
        out << describe(agent, index) << " has walked within " << limits_.stuckRadius << " of "
            << point(track.spot) << " for " << track.nearSpotFor << " s of game time, " << heading;
    else if (track.sameGoalFor > limits_.stuckSeconds)
        out << describe(agent, index) << " has been " << heading << " for " << track.sameGoalFor
            << " s of game time, now at " << point(p);
    return out.str();
}

namespace {

// The way left to walk: to the end of the route's first edge, then along the rest; straight
// to the goal while there is no route yet.
double wayLeft(const Animal& animal, const NavNode& goal) {
    const gfx::PointF p = animal.position();
    const auto& route = animal.route();
    if (route.empty())
        return std::hypot(p.x - static_cast<float>(goal.x), p.y - static_cast<float>(goal.y));
    const gfx::PointF end = route.front()->end();
    double left = std::hypot(p.x - end.x, p.y - end.y);
    for (std::size_t i = 1; i < route.size(); ++i)
        left += route[i]->cost();
    return left;
}

} // namespace

std::string AgentWatch::checkProgress(const Agent& agent, Track& track, double seconds) const {
    const auto* animal = dynamic_cast<const Animal*>(&agent);
    if (animal == nullptr)
        return {};
    const std::size_t index = track.index;
    std::ostringstream out;

    const bool attached = agent.isAttached();
    if (attached != track.attached) {
        track.attached = attached;
        track.flips.push_back(gameTime_);
    }
    while (!track.flips.empty() && track.flips.front() <= gameTime_ - 1.0)
        track.flips.pop_front();
    if (static_cast<int>(track.flips.size()) > limits_.flipsPerSecond) {
        out << describe(agent, index) << " changed between falling and standing " << track.flips.size()
            << " times within a second, at " << point(agent.position());
        return out.str();
    }

    const NavNode* goal = animal->walkGoal();
    if (goal == nullptr) {
        track.walkGoal = nullptr;
        return {};
    }
    const double left = wayLeft(*animal, *goal);
    const std::size_t edges = animal->route().size();
    // A new goal, or a route that grew (it fell somewhere lower and planned anew), starts
    // the count again; so does any step closer than before.
    if (goal != track.walkGoal || edges > track.bestEdges || left < track.bestLeft - limits_.progressStep) {
        track.walkGoal = goal;
        track.bestLeft = left;
        track.bestEdges = edges;
        track.walkingFor = 0;
        return {};
    }
    track.bestEdges = edges;
    track.walkingFor += seconds;
    if (track.walkingFor > limits_.progressSeconds) {
        out << describe(agent, index) << " has walked for " << track.walkingFor
            << " s of game time without getting closer to " << goal->name << " (" << left << " left, at "
            << point(agent.position()) << ")";
        return out.str();
    }
    return {};
}

std::string AgentWatch::checkStanding(const Animal& animal, Track& track, bool quaking) const {
    // A walk planned since the last look (even one that ended within the frame: a click on
    // where it stands), a throw, or a hop of its own off a spot where no walk starts: the body
    // was sent off, not let go.
    const gfx::PointF at = animal.position();
    const float moved = std::hypot(at.x - track.seenAt.x, at.y - track.seenAt.y);
    track.seenAt = at;
    const StartLocState& start = animal.startLocation();
    const float allowance = animal.rootState().speedAllowance.y;
    const bool walked = start.startEdge != track.startEdge || start.startCount != track.startCount;
    const bool thrown = allowance > track.throwAllowance;
    const bool hopped = animal.hops() != track.hops;
    track.startEdge = start.startEdge;
    track.startCount = start.startCount;
    track.throwAllowance = allowance;
    track.hops = animal.hops();
    if (quaking || walked || thrown || hopped || !animal.isIdle()) {
        track.standing = false;
        return {};
    }
    // It counts as standing from when it is first seen idle and at rest on a platform;
    // falling idle before that (dropped into the level, shaken off by a quake), sinking in
    // where a fall landed it or sliding on where a throw did is no fault.
    const gfx::PointF p = animal.position();
    if (!track.standing) {
        // A wall's push on an idle body is a unit a second or so; a body sinking in where it
        // landed moves a unit or two a frame, one that settles onto its floor (ten units a
        // second) a tenth of one.
        constexpr float kAtRest = 5;
        constexpr float kStill = 0.2f;
        if (!animal.isAttached() || std::abs(animal.velocity().x) > kAtRest || moved > kStill)
            return {};
        track.standing = true;
        track.stood.clear();
        track.stoodOn = animal.platform() != nullptr ? animal.platform()->typeName() : "nothing";
    }
    // The oldest place kept is where it was when the window of time began.
    const double from = gameTime_ - limits_.standSeconds;
    while (track.stood.size() > 1 && track.stood[1].first <= from)
        track.stood.pop_front();
    // A floor pulls a body standing on it down at ten units a second (scaled by the body's
    // time) until its feet meet the floor: a figure whose standing pose is shorter than the
    // walking one settles that way, and that is its floor holding it, not letting it go.
    constexpr double kFloorPull = 10;
    const bool held = animal.isAttached();
    for (const auto& [when, where] : track.stood) {
        const float dy = p.y - where.y;
        const auto settled = static_cast<float>(kFloorPull * animal.timeScale() * (gameTime_ - when));
        const float sunk = held && dy > 0 ? std::min(dy, settled) : 0.0f;
        if (std::hypot(p.x - where.x, dy - sunk) <= limits_.standDrift)
            continue;
        std::ostringstream out;
        out << describe(animal, track.index) << " stood idle at " << point(where) << " on " << track.stoodOn
            << " and was moved to " << point(p) << " within " << limits_.standSeconds
            << " s of game time by no walk, quake, throw or hop";
        return out.str();
    }
    if (track.stood.empty() || track.stood.back().second.x != p.x || track.stood.back().second.y != p.y)
        track.stood.emplace_back(gameTime_, p);
    return {};
}

std::size_t AgentWatch::platformsVisited(const Agent& agent) const {
    const auto found = tracks_.find(&agent);
    return found != tracks_.end() ? found->second.platforms.size() : 0;
}

std::string AgentWatch::summary() const {
    std::ostringstream out;
    out << "agent check: " << tracks_.size() << " agents watched over " << gameTime_ << " s of game time";
    std::vector<const Track*> wanderers;
    for (const auto& [agent, track] : tracks_)
        if (track.wanderer)
            wanderers.push_back(&track);
    std::sort(wanderers.begin(), wanderers.end(),
              [](const Track* a, const Track* b) { return a->index < b->index; });
    std::string goals;
    std::string platforms;
    for (const Track* track : wanderers) {
        goals += (goals.empty() ? "" : ", ") + std::to_string(track->goals.size());
        platforms += (platforms.empty() ? "" : ", ") + std::to_string(track->platforms.size());
    }
    if (!wanderers.empty())
        out << "; " << wanderers.size() << " wanderers headed for " << goals
            << " different goals and stood on " << platforms << " different platforms";
    return out.str();
}

} // namespace game
