#include "level/FloorSecond.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {

// A 10-pixel slab from x 250 to 550.
constexpr std::array<gfx::PointF, 5> kDesign = {{{0, 0}, {300, 0}, {300, 10}, {0, 10}, {0, 0}}};
constexpr std::array<gfx::PointF, 5> kOutline = MovablePlatform::placed(kDesign, {250, 300});

// The walkway along the top; -999 keeps the coordinate of the node placed by a ladder.
constexpr NamedSurfacePoint kWalkway[] = {
    {"second_floor_left", 250, 292},
    {"second_floor_and_first_floor_ladder", -999, 300},
    {"second_floor_right", 550, 292},
};

} // namespace

FloorSecond::FloorSecond()
    : leftWall({250, 216, 10, 80}, 0x40203060, 3.0f, 0x80102030),
      rightWall({540, 216, 10, 80}, 0x40203060, 3.0f, 0x80102030) {
    pen_.setColor(0xAA203060);
}

void FloorSecond::registerInGame(World& world) {
    Platform::registerInGame(world);
    leftWall.registerInGame(world);
    rightWall.registerInGame(world);
    carried.push_back(&leftWall);
    carried.push_back(&rightWall);
    carry(world.storeys.denRoof);
    NavGraph& graph = world.navGraph;
    graph.addChain(this, kWalkway);
    // From the left end a walker drops onto the den roof below.
    graph.addOneWayEdge(this, "second_floor_left", "den_roof_middle");
}

void FloorSecond::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill);
}

void FloorSecond::rebuildPath() {
    rebuildPolyline(kOutline);
}

bool FloorSecond::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, 250, 550, 300);
}

std::span<const gfx::PointF> FloorSecond::designOutline() {
    return kOutline;
}

} // namespace game
