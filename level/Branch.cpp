#include "level/Branch.h"

#include "gfx/Graphics.h"
#include "scene/World.h"

#include <algorithm>

namespace game {

namespace {

constexpr std::array<gfx::PointF, 8> kUnitBranch{
    {{0, 7}, {8, 4}, {12, 4}, {25, 7}, {20, 8}, {10, 6}, {1, 10}, {0, 7}}};

// Each branch gets its own copy of the shape: computing from the const unit table means a
// second game in the same process builds exactly the same level.
std::array<gfx::PointF, 8> placeOutline(int x, int y, double length, double thickness) {
    const double sx = length * 0.04;
    const double sy = thickness * 0.1;
    std::array<gfx::PointF, 8> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int px = static_cast<int>(kUnitBranch[i].x * sx) + x;
        const int py = static_cast<int>(kUnitBranch[i].y * sy) + y;
        out[i] = {static_cast<float>(px), static_cast<float>(py)};
    }
    return out;
}

void nameNode(NavNode& node, std::string nodeName) {
    node.name = std::move(nodeName);
}

} // namespace

Branch::Branch(std::string branchName, int x, int y, double length, double thickness, gfx::Argb color)
    : name_(std::move(branchName)), fill_(color), points_(placeOutline(x, y, length, thickness)),
      twig_(gfx::RectF{static_cast<float>(x), static_cast<float>(y), static_cast<float>(length),
                       static_cast<float>(thickness)},
            color, 1.0f, color),
      direction_(length >= 0 ? 1 : -1) {
    nameNode(root_, name_ + "_root");
    nameNode(middle_, name_ + "_middle");
    nameNode(end_, name_ + "_end");
}

void Branch::addNodesTo(NavGraph& graph) {
    if (nodesAdded_)
        return;
    nodesAdded_ = true;
    for (NavNode* node : {&root_, &middle_, &end_})
        graph.appendNode(*node);
}

void Branch::registerInGame(World& world) {
    // Its places come first: the edges below join them.
    addNodesTo(world.navGraph());
    Platform::registerInGame(world);
    twig_.registerInGame(world);
    carried.push_back(&twig_);
    NavGraph& graph = world.navGraph();
    graph.addTwoWayEdge(this, root_, points_[0], middle_, points_[2], 5.0);
    graph.addTwoWayEdge(this, middle_, points_[2], end_, points_[3], 5.0);
}

void Branch::translate(float dx, float dy) {
    MovablePlatform::translate(dx - 0.2f * static_cast<float>(direction_) * dy, dy);
}

void Branch::draw(gfx::Graphics& g) {
    g.fillPath(fill_, path_);
}

void Branch::rebuildPath() {
    rebuildAtOffset(points_, Joined::Curve);
}

bool Branch::supports(const gfx::RectF& r) const {
    // The design outline decides, not the current offsets: a swaying branch keeps its zone.
    const int cx = static_cast<int>(r.x + r.width * 0.5f);
    const float lo = std::min(points_[0].x, points_[3].x);
    const float hi = std::max(points_[0].x, points_[3].x);
    const float bottom = std::max(points_[0].y, points_[2].y);
    return lo <= static_cast<float>(cx) && static_cast<float>(cx) <= hi && r.y + r.height <= bottom + 20.0f;
}

} // namespace game
