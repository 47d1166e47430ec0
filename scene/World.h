#pragma once

#include "core/Random.h"
#include "scene/ObjectRegistry.h"
#include "scene/WorldHost.h"
#include "scene/WorldSettings.h"

#include <cstdint>

namespace game {

class NavGraph;
class Object;
class Platform;

// The house as it stands: each storey rests on the one below it and rides along when that one
// is shaken. Set by whoever builds the house before it registers; a storey that is not there
// stays null.
struct Storeys {
    Platform* ground = nullptr;
    Platform* basement = nullptr;
    Platform* firstFloor = nullptr;
    Platform* secondFloor = nullptr;
    Platform* denRoof = nullptr;
    Platform* roof = nullptr;
    // The socks lie on the house and the garden: a quake shakes them loose.
    Object* looseThings = nullptr;
};

// Everything the scene needs from the game that runs it, in parts: the registry of its
// objects, the navigation graph its walkways join, the few settings that change how it
// behaves, which storey carries which, and the random generator it draws from. The game holds
// one and hands it to every object at registration; an object that needs it later keeps it.
// A test can build pieces against a world of its own.
class World {
public:
    // The graph belongs to whoever builds the world, and outlives everything that points into
    // it: the scene's branches add their places to it when they register. The host, if any,
    // outlives the world.
    explicit World(NavGraph& graph, std::uint32_t seed = 1, WorldHost* host = nullptr)
        : graph_(graph), host_(host), random_(seed) {}
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The places and walkways (agents/NavGraph.h). Held, not owned, so that a change to the
    // graph rebuilds only the files that walk it.
    NavGraph& navGraph() const { return graph_; }
    ObjectRegistry& objects() { return objects_; }
    const ObjectRegistry& objects() const { return objects_; }
    WorldSettings& settings() { return settings_; }
    const WorldSettings& settings() const { return settings_; }
    Storeys& storeys() { return storeys_; }
    const Storeys& storeys() const { return storeys_; }
    // Every draw of the game comes from here, in the order the frames make them: a seed
    // replays the same game.
    core::Random& random() { return random_; }

    // Mean rate of the recent frames; 0 while nothing has been measured (a world without a
    // frame cycle never measures anything).
    double framesPerSecond() const { return host_ != nullptr ? host_->framesPerSecond() : 0; }
    // An object left the scene: the next paint clears where it was last drawn. A world that
    // paints nothing forgets it.
    void eraseLater(const gfx::RectF& lastBounds) {
        if (host_ != nullptr)
            host_->eraseLater(lastBounds);
    }

private:
    NavGraph& graph_;
    WorldHost* host_;
    ObjectRegistry objects_;
    WorldSettings settings_;
    Storeys storeys_;
    core::Random random_;
};

} // namespace game
