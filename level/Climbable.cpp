#include "level/Climbable.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

#include <utility>

namespace game {

Climbable::Climbable(std::string instanceName, float left, float bottom, float climbWidth, float climbHeight,
                     int rungs, NavNode* footNode, NavNode* headNode)
    : Platform(0xAA502020, 3.0f), name_(std::move(instanceName)), x_(left), y_(bottom), width_(climbWidth),
      height_(climbHeight), rungCount_(rungs), bottomNode_(footNode), topNode_(headNode) {}

void Climbable::registerInGame(World& world) {
    Platform::registerInGame(world);
    // A climbable whose ends are one place (the trunk, the pole) has no climb of its own:
    // its owner adds the edges along it.
    if (!bottomNode_ || !topNode_ || bottomNode_ == topNode_)
        return;
    const auto cx = static_cast<float>(static_cast<int>(x_ + width_ * 0.5f));
    const auto bottom = static_cast<float>(static_cast<int>(y_));
    const auto top = static_cast<float>(static_cast<int>(y_ - height_));
    world.navGraph().addTwoWayEdge(this, *bottomNode_, {cx, bottom}, *topNode_, {cx, top}, 2.0);
}

void Climbable::translate(float dx, float dy) {
    // Moves at once, and whoever holds on moves with it: a ladder lifted by a quake would
    // otherwise slide up past its climber, let go of him and catch him again as it sinks.
    x_ += dx;
    y_ += dy;
    invalidate();
    carryRiders(dx, dy);
}

void Climbable::draw(gfx::Graphics& g) {
    // The first figure is the pair of rails, every later one a rung.
    const std::vector<gfx::Path> figures = path_.figures();
    for (std::size_t i = 0; i < figures.size(); ++i)
        g.drawPath(i == 0 ? pen_ : climbPen_, figures[i]);
}

void Climbable::rebuildPath() {
    path_.reset();
    const gfx::PointF rails[] = {{0, 0}, {0, -height_}, {width_, -height_}, {width_, 0}, {0, 0}};
    path_.addLines(rails);
    for (int i = 1; i < rungCount_; ++i)
        path_.addRectangle({4.0f, -15.0f * static_cast<float>(i), 12.0f, 1.0f});
    gfx::Matrix m;
    m.translate(x_, y_);
    path_.transform(m);
    clearShapeDirty();
}

bool Climbable::supports(const gfx::RectF& r) const {
    if (r.y + r.height * 0.5f > y_ || y_ - height_ > r.y + r.height)
        return false;
    return r.x + r.width > x_ - 10 && r.x < x_ + width_ + 10;
}

} // namespace game
