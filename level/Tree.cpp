#include "level/Tree.h"

#include "scene/World.h"

namespace game {

Tree::Tree()
    : FilledClimbable("tree", kX, kBottom, kWidth, kHeight, kColor, Place::GroundAndTree),
      branches_{{{"tree_branch1", 703, 350, -110, 58.5, kColor},
                 {"tree_branch2", 703, 264, 90, 58.5, kColor},
                 {"tree_branch3", 703, 174, -110, 39, kColor}}} {}

void Tree::registerInGame(World& world) {
    // The climb runs from the foot up through the branch roots.
    NavGraph& graph = world.navGraph();
    FilledClimbable::registerInGame(world);
    for (Branch& b : branches_) {
        b.registerInGame(world);
        carried.push_back(&b);
    }

    const float cx = static_cast<float>(static_cast<int>(x_ + width_ * 0.5f));
    auto rootPoint = [cx](Branch& b) { return gfx::PointF{cx, b.outlinePoints()[0].y - 50}; };

    graph.addTwoWayEdge(this, *bottomNode_, {cx, y_}, branches_[0].rootNode(), rootPoint(branches_[0]));
    graph.addTwoWayEdge(this, branches_[0].rootNode(), rootPoint(branches_[0]), branches_[1].rootNode(),
                        rootPoint(branches_[1]));
    graph.addTwoWayEdge(this, branches_[1].rootNode(), rootPoint(branches_[1]), branches_[2].rootNode(),
                        rootPoint(branches_[2]));

    // Jumps between the branch ends and the house; the graph keeps the nodes where they are.
    constexpr gfx::PointF own{NavEdge::kUnset, NavEdge::kUnset};
    NavNode& roofRight = placeNode(graph, Place::RoofRight);
    graph.addOneWayEdge(&branches_[2], branches_[2].endNode(), own, false, roofRight, own, false);
    graph.addOneWayEdge(world.storeys().roof, roofRight, own, false, branches_[2].endNode(), own, false);
    graph.addOneWayEdge(&branches_[0], branches_[0].endNode(), own, false,
                        placeNode(graph, Place::FirstFloorRightAngle), own, false);
    graph.addOneWayEdge(world.storeys().secondFloor, placeNode(graph, Place::SecondFloorRight), own, false,
                        branches_[0].middleNode(), own, false);
    // From the right branch's tip across the right edge of the world to the pole on the left.
    graph.addOneWayEdge(&branches_[1], branches_[1].endNode(), own, false,
                        placeNode(graph, Place::PoleMiddle), {825, NavEdge::kUnset}, false);
}

} // namespace game
