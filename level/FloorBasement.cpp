#include "level/FloorBasement.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {

// A 4-pixel slab from x 250 to 550 at the bottom of the world.
constexpr std::array<gfx::PointF, 5> kDesign = {{{0, 0}, {300, 0}, {300, 4}, {0, 4}, {0, 0}}};
constexpr std::array<gfx::PointF, 5> kOutline = MovablePlatform::placed(kDesign, {250, 574});

// The walkway along the top; -999 keeps the coordinate of the node placed by a ladder.
constexpr NamedSurfacePoint kWalkway[] = {
    {"basement_left", 250, 574},
    {"basement_and_basement_ladder", -999, 574},
    {"basement_right", 550, 574},
};

} // namespace

FloorBasement::FloorBasement()
    : ladder("basement_ladder", 350, 554, 20, 160, 10, nullptr, nullptr),
      leftWall({250, 490, 10, 80}, 0xAA403040, 3.0f, 0xFF201020),
      rightWall({540, 538, 10, 32}, 0xAA403040, 3.0f, 0xFF201020) {
    pen_.setColor(0xAA403040);
}

void FloorBasement::registerInGame(World& world) {
    Platform::registerInGame(world);
    NavGraph& graph = world.navGraph;
    ladder.setEnds(graph.node("basement_and_basement_ladder"), graph.node("first_floor_and_basement_ladder"));
    ladder.registerInGame(world);
    carry(world.storeys.firstFloor);
    carried.push_back(&ladder);
    // Only the basement walls stop walkers.
    leftWall.registerInGame(world);
    rightWall.registerInGame(world);
    obstacles.push_back(&leftWall);
    obstacles.push_back(&rightWall);
    leftTrampoline.registerInGame(world);
    rightTrampoline.registerInGame(world);
    carried.push_back(&leftTrampoline);
    carried.push_back(&rightTrampoline);
    graph.addChain(this, kWalkway);
}

void FloorBasement::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill);
}

void FloorBasement::rebuildPath() {
    rebuildPolyline(kOutline);
}

bool FloorBasement::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, 250, 550, 574);
}

std::span<const gfx::PointF> FloorBasement::designOutline() {
    return kOutline;
}

} // namespace game
