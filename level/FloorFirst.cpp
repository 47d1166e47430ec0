#include "level/FloorFirst.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {

// A 10-pixel slab from x 150 to 550, a ramp down to the garden at (620, 535) on the right
// and a short step down to x 120 on the left.
constexpr std::array<gfx::PointF, 9> kDesign = {
    {{0, 0}, {400, 0}, {470, 90}, {460, 90}, {400, 10}, {0, 10}, {-20, 17}, {-30, 17}, {0, 0}}};
constexpr std::array<gfx::PointF, 9> kOutline = MovablePlatform::placed(kDesign, {150, 445});

// The walkway along the top; -999 keeps the coordinate of the node placed by a ladder.
constexpr NamedSurfacePoint kWalkway[] = {
    {"ground_and_first_floor_left", 120, 462},         {"first_floor_and_basement_ladder", -999, 445},
    {"first_floor_and_first_floor_ladder", -999, 445}, {"first_floor_right_angle", 550, 445},
    {"ground_and_first_floor_right", 620, 535},
};

} // namespace

FloorFirst::FloorFirst()
    : ladder("first_floor_ladder", 450, 425, 20, 175, 11, nullptr, nullptr),
      leftWall({150, 356, 10, 85}, 0x18205030, 3.0f, 0x55103020),
      rightWall({540, 321, 10, 120}, 0x18205030, 3.0f, 0x55103020) {
    pen_.setColor(0xAA205030);
}

void FloorFirst::registerInGame(World& world) {
    Platform::registerInGame(world);
    NavGraph& graph = world.navGraph;
    ladder.setEnds(graph.node("first_floor_and_first_floor_ladder"),
                   graph.node("second_floor_and_first_floor_ladder"));
    ladder.registerInGame(world);
    leftWall.registerInGame(world);
    rightWall.registerInGame(world);
    // The walls up here are scenery: they ride along but stop nobody.
    carry(world.storeys.secondFloor);
    carried.push_back(&ladder);
    carried.push_back(&leftWall);
    carried.push_back(&rightWall);
    graph.addChain(this, kWalkway);
}

void FloorFirst::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill);
}

void FloorFirst::rebuildPath() {
    rebuildPolyline(kOutline);
}

bool FloorFirst::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, 120, 620, 535);
}

std::span<const gfx::PointF> FloorFirst::designOutline() {
    return kOutline;
}

} // namespace game
