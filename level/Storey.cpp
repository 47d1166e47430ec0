#include "level/Storey.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {
constexpr float kWallPenWidth = 3.0f;
} // namespace

Storey::Storey(const StoreyTable& table) : plan(table), fill(table.fillColour) {
    pen_.setColor(table.penColour);
    if (const StoreyLadder& l = table.ladder; l.name != nullptr)
        ladder.emplace(l.name, l.x, l.bottom, l.width, l.height, l.rungs, nullptr, nullptr);
    for (const gfx::RectF& rect : table.walls)
        walls.emplace_back(rect, table.wallPenColour, kWallPenWidth, table.wallFillColour);
    for (const StoreyTrampoline& t : table.trampolines)
        trampolines.emplace_back(t.rect, t.colour, t.cyclePeriod, t.launchSpeed);
}

void Storey::registerInGame(World& world) {
    Platform::registerInGame(world);
    NavGraph& graph = world.navGraph();
    if (ladder) {
        ladder->setEnds(&placeNode(graph, plan.ladder.foot), &placeNode(graph, plan.ladder.head));
        ladder->registerInGame(world);
    }
    for (Wall& wall : walls)
        wall.registerInGame(world);
    for (Trampoline& trampoline : trampolines)
        trampoline.registerInGame(world);

    if (plan.carries != nullptr)
        carry(world.storeys().*plan.carries);
    if (ladder)
        carried.push_back(&*ladder);
    for (Wall& wall : walls)
        (plan.wallsStopWalkers ? obstacles : carried).push_back(&wall);
    for (Trampoline& trampoline : trampolines)
        carried.push_back(&trampoline);

    addWalkway(graph, this, plan.walkway);
    if (plan.drop) {
        constexpr gfx::PointF own{NavEdge::kUnset, NavEdge::kUnset};
        graph.addOneWayEdge(this, placeNode(graph, plan.drop->from), own, false,
                            placeNode(graph, plan.drop->to), own, false);
    }
}

void Storey::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill);
}

void Storey::rebuildPath() {
    rebuildAtOffset(plan.outline);
}

bool Storey::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, plan.support.left, plan.support.right, plan.support.top);
}

} // namespace game
