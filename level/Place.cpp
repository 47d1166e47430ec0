#include "level/Place.h"

#include "agents/NavGraph.h"
#include "scene/Platform.h"

#include <array>
#include <cstddef>
#include <vector>

namespace game {

namespace {

struct PlaceName {
    Place place;
    const char* name;
};

constexpr std::array<PlaceName, 33> kPlaceNames{{
    {Place::BasementLeft, "basement_left"},
    {Place::BasementAndBasementLadder, "basement_and_basement_ladder"},
    {Place::BasementRight, "basement_right"},
    {Place::GroundLeft, "ground_left"},
    {Place::GroundLanding, "ground_landing"},
    {Place::GroundAndFirstFloorLeft, "ground_and_first_floor_left"},
    {Place::GroundSide, "ground_side"},
    {Place::GroundAndFirstFloorRight, "ground_and_first_floor_right"},
    {Place::GroundAndTree, "ground_and_tree"},
    {Place::GroundRight, "ground_right"},
    {Place::FirstFloorAndBasementLadder, "first_floor_and_basement_ladder"},
    {Place::FirstFloorAndFirstFloorLadder, "first_floor_and_first_floor_ladder"},
    {Place::FirstFloorRightAngle, "first_floor_right_angle"},
    {Place::SecondFloorLeft, "second_floor_left"},
    {Place::SecondFloorAndFirstFloorLadder, "second_floor_and_first_floor_ladder"},
    {Place::SecondFloorRight, "second_floor_right"},
    {Place::RoofLeft, "roof_left"},
    {Place::RoofMiddle, "roof_middle"},
    {Place::RoofTreeLanding, "roof_tree_landing"},
    {Place::RoofRight, "roof_right"},
    {Place::DenRoofLeft, "den_roof_left"},
    {Place::DenRoofMiddle, "den_roof_middle"},
    {Place::DenRoofRight, "den_roof_right"},
    {Place::PoleTop, "pole_top"},
    {Place::PoleMiddle, "pole_middle"},
    {Place::Cable0, "cable_0"},
    {Place::Cable1, "cable_1"},
    {Place::Cable2, "cable_2"},
    {Place::Cable3, "cable_3"},
    {Place::Cable4, "cable_4"},
    {Place::Cable5, "cable_5"},
    {Place::CableDangle1, "cable_dangle1"},
    {Place::CableDangle4, "cable_dangle4"},
}};

// Every place named once, in its own order: the graph's indices follow this table.
constexpr bool namedInOrder() {
    for (std::size_t i = 0; i < kPlaceNames.size(); ++i)
        if (static_cast<std::size_t>(kPlaceNames[i].place) != i)
            return false;
    return static_cast<std::size_t>(Place::CableDangle4) + 1 == kPlaceNames.size();
}
static_assert(namedInOrder());

} // namespace

void addPlaces(NavGraph& graph) {
    for (const PlaceName& p : kPlaceNames)
        graph.addNode(p.name);
}

NavNode& placeNode(NavGraph& graph, Place place) {
    return graph.node(static_cast<int>(place));
}

void addWalkway(NavGraph& graph, Object* platform, std::span<const PlacePoint> walkway) {
    std::vector<SurfacePoint> points;
    points.reserve(walkway.size() + 1);
    for (const PlacePoint& p : walkway)
        points.push_back({&placeNode(graph, p.place), p.x, p.y});
    points.push_back({});
    graph.addChain(platform, points.data());
}

} // namespace game
