#include "level/GoalArrow.h"

#include "agents/Animal.h"
#include "agents/NavGraph.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

GoalArrow::GoalArrow(Animal& followed) : Object(0xff000000, 8.0f), agent_(followed) {
    pen_.setEndCap(gfx::LineCap::ArrowAnchor);
}

void GoalArrow::registerInGame(World& world) {
    Object::registerInGame(world);
    pen_.setColor(agent_.fillBrush().color());
}

void GoalArrow::setEnabled(bool value) {
    if (enabled_ == value)
        return;
    enabled_ = value;
    invalidate();
}

void GoalArrow::update(double) {
    const bool wanted = enabled_ || (world() != nullptr && world()->settings().goalTracking);
    if (!wanted) {
        if (showing_)
            hide();
        return;
    }
    const NavNode* goal = agent_.walkGoal();
    if (goal == nullptr) {
        hide();
        return;
    }
    if (goal->x != targetX_ || goal->y != targetY_) {
        targetX_ = goal->x;
        targetY_ = goal->y;
        invalidate();
    }
    showing_ = true;
}

void GoalArrow::hide() {
    // Already hidden and nowhere: nothing to redraw.
    if (!showing_ && targetX_ == -999 && targetY_ == -999)
        return;
    showing_ = false;
    targetX_ = -999;
    targetY_ = -999;
    invalidate();
}

void GoalArrow::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
}

void GoalArrow::rebuildPath() {
    path_.reset();
    if (showing_) {
        const auto x = static_cast<float>(targetX_);
        const auto y = static_cast<float>(targetY_);
        path_.addLine({x, y - 20}, {x, y});
    }
    clearShapeDirty();
}

} // namespace game
