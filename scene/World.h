#pragma once

#include "gfx/Geometry.h"

#include <vector>

namespace game {

class Button;
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

// Everything the scene needs from the game that runs it: the lists it registers in, the
// navigation graph its walkways join, the few settings that change how it behaves, and which
// storey carries which. The game hands it to every object at registration; an object that
// needs it later keeps it. A test can build pieces against a world of its own.
class World {
public:
    // The graph belongs to whoever builds the world, and outlives everything that points into
    // it: the scene's branches add their places to it when they register.
    explicit World(NavGraph& graph) : navGraph(graph) {}
    virtual ~World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Mean rate of the recent frames; 0 while nothing has been measured (a world without a
    // frame cycle never measures anything).
    virtual double framesPerSecond() const { return 0; }

    // The places and walkways (agents/NavGraph.h). Held, not owned, so that a change to the
    // graph rebuilds only the files that walk it.
    NavGraph& navGraph;

    // Registration lists: non-owning, in insertion order. An object leaving the scene takes
    // itself off them.
    std::vector<Object*> drawList;
    std::vector<Object*> agentList;
    std::vector<Object*> platformList;
    std::vector<Object*> objectList;
    std::vector<Object*> animalList;
    std::vector<Button*> buttonList;
    // An object left the scene: the next paint clears where it was last drawn. A world
    // that paints nothing forgets it.
    virtual void eraseLater(const gfx::RectF& /*lastBounds*/) {}

    // Settings, changed by keys and buttons.
    int speedLevel = 1;
    bool paused = false;
    // The goal arrows follow their walkers even when not asked to ('g').
    bool goalTracking = false;
    // A quake was asked for ('e'); the ground starts one and clears it.
    bool groundEventRequest = false;
    bool cheatUsed = false;
    // What the status box shows: 1 is the platform under the Husband.
    int hudMode = 0;

    Storeys storeys;
};

} // namespace game
