#pragma once

#include <span>

namespace game {

class NavGraph;
class NavNode;
class Object;

// The level's places. They join the graph first and in this order, so a place's number here
// is its index there: a goal picked at random is an index, and a replay depends on the order.
// The branches add their places after these, as they register.
enum class Place {
    // The basement's walkway.
    BasementLeft,
    BasementAndBasementLadder,
    BasementRight,
    // The ground's walkway, left to right, where the first floor's ramps meet it.
    GroundLeft,
    GroundLanding,
    GroundAndFirstFloorLeft,
    GroundSide,
    GroundAndFirstFloorRight,
    GroundAndTree,
    GroundRight,
    // The first floor's walkway between its ends on the ground.
    FirstFloorAndBasementLadder,
    FirstFloorAndFirstFloorLadder,
    FirstFloorRightAngle,
    // The second floor, the roof and the den roof.
    SecondFloorLeft,
    SecondFloorAndFirstFloorLadder,
    SecondFloorRight,
    RoofLeft,
    RoofMiddle,
    RoofTreeLanding,
    RoofRight,
    DenRoofLeft,
    DenRoofMiddle,
    DenRoofRight,
    // The telephone pole, the cable across the garden and the feet of its two loops.
    PoleTop,
    PoleMiddle,
    Cable0,
    Cable1,
    Cable2,
    Cable3,
    Cable4,
    Cable5,
    CableDangle1,
    CableDangle4,
};

// Adds the level's places to a graph that has none yet, each under the name the overlays, the
// dumps and the tools know it by.
void addPlaces(NavGraph& graph);
// The place in a graph its places were added to.
NavNode& placeNode(NavGraph& graph, Place place);

// One point of a walkway at a place; -999 in a coordinate keeps the place's own.
struct PlacePoint {
    Place place{};
    int x = -999;
    int y = -999;
};

// Two-way edges on the platform between consecutive points of the walkway.
void addWalkway(NavGraph& graph, Object* platform, std::span<const PlacePoint> walkway);

} // namespace game
