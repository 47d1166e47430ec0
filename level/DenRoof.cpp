#include "level/DenRoof.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {

// A lean-to rising from (140, 340) to the house wall at (250, 320).
constexpr std::array<gfx::PointF, 6> kDesign = {{{0, 0}, {50, -10}, {110, -20}, {110, -10}, {0, 10}, {0, 0}}};
constexpr std::array<gfx::PointF, 6> kOutline = MovablePlatform::placed(kDesign, {140, 340});

// The walkway along the top; -999 keeps the coordinate of the node placed by a ladder.
constexpr NamedSurfacePoint kWalkway[] = {
    {"den_roof_left", 140, 340},
    {"den_roof_middle", 190, 330},
    {"den_roof_right", 250, 320},
};

} // namespace

DenRoof::DenRoof() {
    pen_.setColor(0xAA303030);
}

void DenRoof::registerInGame(World& world) {
    Platform::registerInGame(world);
    carry(world.storeys.roof);
    NavGraph& graph = world.navGraph;
    graph.addChain(this, kWalkway);
    // Off the low end down into the garden.
    graph.addOneWayEdge(this, "den_roof_left", "ground_landing");
}

void DenRoof::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill);
}

void DenRoof::rebuildPath() {
    rebuildPolyline(kOutline);
}

bool DenRoof::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, 140, 250, 340);
}

std::span<const gfx::PointF> DenRoof::designOutline() {
    return kOutline;
}

} // namespace game
