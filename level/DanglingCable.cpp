#include "level/DanglingCable.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "gfx/Matrix.h"
#include "scene/World.h"

#include <array>

namespace game {

namespace {

constexpr std::array<gfx::PointF, 9> kUnitLoop{{{0, 0},
                                                {0.1f, -0.2f},
                                                {0.2f, -0.6f},
                                                {0, -1},
                                                {0.3f, -1.1f},
                                                {1, -1},
                                                {1.2f, -0.5f},
                                                {0.9f, -0.3f},
                                                {1, 0}}};

} // namespace

DanglingCable::DanglingCable(std::string cableName, float left, float bottom, float w, float loopHeight,
                             NavNode* topNav, NavNode* bottomNav, NavNode* landingNav)
    : Climbable(std::move(cableName), left, bottom, w, loopHeight + kReachAboveLoop, 1, bottomNav, topNav),
      landingNode_(landingNav) {
    pen_.setColor(0x80405040);
    pen_.setWidth(2);
}

void DanglingCable::registerInGame(World& world) {
    Climbable::registerInGame(world);
    // From the foot of the loop the agent lets go and drops to the landing place.
    const gfx::PointF foot{static_cast<float>(static_cast<int>(x_ + 10)),
                           static_cast<float>(static_cast<int>(y_))};
    world.navGraph().addOneWayEdge(this, *bottomNode_, foot, false, *landingNode_,
                                   {NavEdge::kUnset, NavEdge::kUnset}, false);
}

void DanglingCable::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
}

void DanglingCable::rebuildPath() {
    gfx::Matrix m;
    m.translate(x_, y_);
    m.scale(width_, height_ - kReachAboveLoop);
    rebuildOutline(kUnitLoop, Joined::Lines, m);
}

} // namespace game
