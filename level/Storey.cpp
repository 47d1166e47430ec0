#include "level/Storey.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

namespace {
constexpr float kWallPenWidth = 3.0f;
} // namespace

Storey::Storey(const StoreyTable& table) : plan_(table), fill_(table.fillColour) {
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
        ladder->setEnds(&placeNode(graph, plan_.ladder.foot), &placeNode(graph, plan_.ladder.head));
        ladder->registerInGame(world);
    }
    for (Wall& wall : walls)
        wall.registerInGame(world);
    for (Trampoline& trampoline : trampolines)
        trampoline.registerInGame(world);

    if (plan_.carries != nullptr)
        carry(world.storeys().*plan_.carries);
    if (ladder)
        carried.push_back(&*ladder);
    for (Wall& wall : walls)
        (plan_.wallsStopWalkers ? obstacles : carried).push_back(&wall);
    for (Trampoline& trampoline : trampolines)
        carried.push_back(&trampoline);

    addWalkway(graph, this, plan_.walkway);
    if (plan_.drop) {
        constexpr gfx::PointF own{NavEdge::kUnset, NavEdge::kUnset};
        graph.addOneWayEdge(this, placeNode(graph, plan_.drop->from), own, false,
                            placeNode(graph, plan_.drop->to), own, false);
    }
}

void Storey::draw(gfx::Graphics& g) {
    fillAndStroke(g, fill_);
}

void Storey::rebuildPath() {
    rebuildAtOffset(plan_.outline);
}

bool Storey::supports(const gfx::RectF& r) const {
    return withinSupportZone(r, plan_.support.left, plan_.support.right, plan_.support.top);
}

} // namespace game
