#include "level/Roof.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {

// A gable 10 pixels thick with its ridge at (400, 150) and its eaves at y 200.
constexpr std::array<gfx::PointF, 8> kDesign = {
    {{-10, 0}, {150, -50}, {230, -25}, {310, 0}, {310, 10}, {150, -40}, {-10, 10}, {-10, 0}}};
constexpr std::array<gfx::PointF, 8> kOutline = MovablePlatform::placed(kDesign, {250, 200});

// The walkway along the top; -999 keeps the coordinate of the node placed by a ladder.
constexpr NamedSurfacePoint kWalkway[] = {
    {"roof_left", 240, 200},
    {"roof_middle", 400, 150},
    {"roof_tree_landing", 480, 175},
    {"roof_right", 560, 200},
};

} // namespace

Roof::Roof() {
    pen_.setColor(0xAA303030);
}

void Roof::registerInGame(World& world) {
    Platform::registerInGame(world);
    NavGraph& graph = world.navGraph;
    graph.addChain(this, kWalkway);
    // Off the left eave onto the den roof.
    graph.addOneWayEdge(this, "roof_left", "den_roof_middle");
}

void Roof::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill);
}

void Roof::rebuildPath() {
    rebuildPolyline(kOutline);
}

bool Roof::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, 240, 560, 200);
}

std::span<const gfx::PointF> Roof::designOutline() {
    return kOutline;
}

} // namespace game
