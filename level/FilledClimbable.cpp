#include "level/FilledClimbable.h"

#include "gfx/Graphics.h"
#include "gfx/Matrix.h"
#include "scene/World.h"

#include <array>

namespace game {

namespace {

// A trunk in unit coordinates (y up from the foot is negative): it widens towards the top
// and has a stub to the right at about a third of its height.
constexpr std::array<gfx::PointF, 14> kUnitTrunk{{{0, 0},
                                                  {0.1f, -0.2f},
                                                  {0.05f, -0.4f},
                                                  {0.3f, -1},
                                                  {0.8f, -1},
                                                  {0.8f, -0.8f},
                                                  {0.9f, -0.5f},
                                                  {1.1f, -0.35f},
                                                  {1.05f, -0.28f},
                                                  {1.45f, -0.32f},
                                                  {1.6f, -0.3f},
                                                  {1, -0.2f},
                                                  {1, 0},
                                                  {0, 0}}};

} // namespace

FilledClimbable::FilledClimbable(std::string climbName, float left, float bottom, float w, float h,
                                 gfx::Argb color, Place foot)
    : Climbable(std::move(climbName), left, bottom, w, h, 1, nullptr, nullptr), fill_(color), foot_(foot) {}

void FilledClimbable::registerInGame(World& world) {
    NavNode& footNode = placeNode(world.navGraph(), foot_);
    setEnds(&footNode, &footNode);
    Climbable::registerInGame(world);
}

void FilledClimbable::draw(gfx::Graphics& g) {
    // The outline is the single trunk figure; there are no rails or rungs to stroke.
    g.fillPath(fill_, path_);
}

void FilledClimbable::rebuildPath() {
    gfx::Matrix m;
    m.translate(x_, y_);
    m.scale(width_, height_);
    rebuildOutline(kUnitTrunk, Joined::Curve, m);
}

} // namespace game
