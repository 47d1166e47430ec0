#include "level/GoalArrow.h"

#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

GoalArrow::GoalArrow(Animal& followed) : Object(0xff000000, 8.0f), agent(followed) {
    pen_.setEndCap(gfx::LineCap::ArrowAnchor);
}

void GoalArrow::registerInGame(World& world) {
    Object::registerInGame(world);
    pen_.setColor(agent.fillBrush().color());
}

void GoalArrow::setEnabled(bool value) {
    if (enabled == value)
        return;
    enabled = value;
    invalidate();
}

void GoalArrow::update(double) {
    const bool wanted = enabled || (world() != nullptr && world()->settings().goalTracking);
    if (!wanted) {
        if (showing)
            hide();
        return;
    }
    const NavNode* goal = agent.walkGoal();
    if (goal == nullptr) {
        hide();
        return;
    }
    if (goal->x != targetX || goal->y != targetY) {
        targetX = goal->x;
        targetY = goal->y;
        invalidate();
    }
    showing = true;
}

void GoalArrow::hide() {
    // Already hidden and nowhere: nothing to redraw.
    if (!showing && targetX == -999 && targetY == -999)
        return;
    showing = false;
    targetX = -999;
    targetY = -999;
    invalidate();
}

void GoalArrow::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
}

void GoalArrow::rebuildPath() {
    path_.reset();
    if (showing) {
        const auto x = static_cast<float>(targetX);
        const auto y = static_cast<float>(targetY);
        path_.addLine({x, y - 20}, {x, y});
    }
    clearShapeDirty();
}

} // namespace game
