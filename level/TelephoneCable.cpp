#include "level/TelephoneCable.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "level/Place.h"
#include "scene/World.h"

namespace game {

namespace {

// The band as drawn from the pole's top, and where the pole's top stands. The absolute
// outline is derived from these constants, never by shifting a table in place.
constexpr std::array<gfx::PointF, 8> kRelativeOutline{
    {{0, 0}, {200, 7}, {380, 13}, {600, 8}, {750, 0}, {750, 5}, {380, 18}, {0, 5}}};
constexpr gfx::PointF kPlacement{20, 75};

constexpr std::array<gfx::PointF, 8> kOutline = MovablePlatform::placed(kRelativeOutline, kPlacement);

// Walkable line along the top: the outline moved 2 pixels down (the loop tops 10 pixels
// right), plus both screen-edge ends. -999 takes the node's own coordinate.
constexpr std::array<PlacePoint, 7> kWalkway{{{Place::Cable0, 2, 84},
                                              {Place::PoleTop, NavEdge::kUnset, 77},
                                              {Place::Cable1, 230, 84},
                                              {Place::Cable2, 400, 90},
                                              {Place::Cable3, 620, 85},
                                              {Place::Cable4, 780, 77},
                                              {Place::Cable5, 798, 77}}};

constexpr float kLoopWidth = 20;
constexpr float kLoopHeight = 50;

} // namespace

TelephoneCable::TelephoneCable() {
    pen_.setColor(0x80405040);
    pen_.setWidth(2);
}

TelephoneCable::~TelephoneCable() = default;

const std::array<gfx::PointF, 8>& TelephoneCable::outlinePoints() {
    return kOutline;
}

void TelephoneCable::registerInGame(World& world) {
    NavGraph& graph = world.navGraph();

    // The loops hang from the outline's second and fifth points.
    const gfx::PointF left = kOutline[1];
    const gfx::PointF right = kOutline[4];
    dangling1_ = std::make_unique<DanglingCable>("dangling_cable1", left.x, left.y + kLoopHeight, kLoopWidth,
                                                 kLoopHeight, &placeNode(graph, Place::Cable1),
                                                 &placeNode(graph, Place::CableDangle1),
                                                 &placeNode(graph, Place::RoofLeft));
    dangling4_ = std::make_unique<DanglingCable>("dangling_cable4", right.x, right.y + kLoopHeight,
                                                 kLoopWidth, kLoopHeight, &placeNode(graph, Place::Cable4),
                                                 &placeNode(graph, Place::CableDangle4), secondLoopLanding_);

    Platform::registerInGame(world);
    // The ground shakes the line directly; the pole only carries its branch.
    if (world.storeys().ground != nullptr)
        world.storeys().ground->carry(this);
    dangling1_->registerInGame(world);
    dangling4_->registerInGame(world);

    addWalkway(graph, this, kWalkway);

    carried.push_back(dangling1_.get());
    carried.push_back(dangling4_.get());

    // Walking off one edge of the world continues at the other.
    NavNode& cable0 = placeNode(graph, Place::Cable0);
    NavNode& cable5 = placeNode(graph, Place::Cable5);
    graph.addOneWayEdge(this, cable0, {2, 82}, false, cable5, {-25, 82}, false);
    graph.addOneWayEdge(this, cable5, {798, 75}, false, cable0, {825, 75}, false);
}

void TelephoneCable::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
}

void TelephoneCable::rebuildPath() {
    rebuildAtOffset(kOutline, Joined::ClosedCurve);
}

bool TelephoneCable::supports(const gfx::RectF& r) const {
    return r.y + r.height <= kLowestTop + 10;
}

} // namespace game
