#include "level/TelephonePole.h"

#include "scene/World.h"

namespace game {

// The branch's thickness is the double with bits 0x4053000004C00000, a hair above 76, so
// that its thickest point lands on y 211 rather than 210.
TelephonePole::TelephonePole()
    : FilledClimbable("Telephone_pole", kX, kBottom, kWidth, kHeight, kColor, Place::GroundLeft),
      branch_("pole_branch", 30, 135, 100, 76.00000113248825, kColor) {}

void TelephonePole::registerInGame(World& world) {
    // The climb is made of the three edges below.
    NavGraph& graph = world.navGraph();
    FilledClimbable::registerInGame(world);
    cable_.registerInGame(world);
    branch_.registerInGame(world);
    carried.push_back(&branch_);

    constexpr gfx::PointF own{NavEdge::kUnset, NavEdge::kUnset};
    const float cx = static_cast<float>(static_cast<int>(x_ + width_ * 0.5f));
    NavNode& middle = placeNode(graph, Place::PoleMiddle);
    NavNode& top = placeNode(graph, Place::PoleTop);
    graph.addTwoWayEdge(this, *bottomNode_, {cx, y_}, middle,
                        {cx, static_cast<float>(static_cast<int>(y_ - 0.4f * height_))});
    graph.addTwoWayEdge(this, middle, own, branch_.rootNode(), {cx, branch_.outlinePoints()[0].y - 50});
    graph.addTwoWayEdge(this, branch_.rootNode(), own, top,
                        {cx, static_cast<float>(static_cast<int>(y_ - height_))});

    // From the branch tip the agent jumps onto the den roof.
    graph.addOneWayEdge(&branch_, branch_.endNode(), own, false, placeNode(graph, Place::DenRoofMiddle), own,
                        false);
}

} // namespace game
