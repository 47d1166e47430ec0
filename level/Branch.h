#pragma once

#include "agents/NavGraph.h"
#include "gfx/Brush.h"
#include "gfx/Geometry.h"
#include "level/TreeBranchlet.h"
#include "scene/MovablePlatform.h"

#include <array>
#include <string>

namespace game {

// A walkable branch of the tree or the telephone pole. When it is displaced it swings
// sideways back towards its trunk, and its twig whips further still.
class Branch : public MovablePlatform {
public:
    Branch(std::string name, int x, int y, double length, double thickness, gfx::Argb color);

    // Adds its three places to the graph, then the walkway between them.
    void registerInGame(World& world) override;
    // The places alone, for a branch that stands in no world but whose places still count in
    // the graph; once only.
    void addNodesTo(NavGraph& graph);
    std::string typeName() const override { return name_; }
    // Queues the move with the sideways swing added: a branch pushed down leans back
    // towards its trunk.
    void translate(float dx, float dy) override;
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // Design outline (whole pixels), without the offsets of later moves.
    const std::array<gfx::PointF, 8>& outlinePoints() const { return points_; }
    int direction() const { return direction_; }
    TreeBranchlet& twig() { return twig_; }
    NavNode& rootNode() { return root_; }
    NavNode& middleNode() { return middle_; }
    NavNode& endNode() { return end_; }

private:
    std::string name_;
    gfx::SolidBrush fill_;
    std::array<gfx::PointF, 8> points_;
    TreeBranchlet twig_;
    int direction_;
    NavNode root_;
    NavNode middle_;
    NavNode end_;
    bool nodesAdded_ = false;
};

} // namespace game
