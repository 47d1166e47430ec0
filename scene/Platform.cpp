#include "scene/Platform.h"

#include "game/Game.h"

namespace {

// Strict on all four sides: rectangles that only share an edge do not overlap.
bool overlaps(const gfx::RectF& a, const gfx::RectF& b) {
    return a.x + a.width > b.x && a.y + a.height > b.y && a.x < b.x + b.width && a.y < b.y + b.height;
}

} // namespace

void Platform::registerInGame() {
    Game& game = theGame();
    game.drawList.push_back(this);
    game.platformList.push_back(this);
}

bool Platform::touches(const gfx::RectF& r) {
    refreshShape();
    if (!overlaps(r, getBounds(true)))
        return false;
    gfx::Region meeting = getRegion();
    meeting.intersect(r);
    return !meeting.isEmpty();
}

bool Platform::checkObstacle(Object& agent, Object& obstacle, ContactFeedback& record) {
    const gfx::RectF o = obstacle.getBounds(false);
    const gfx::RectF a = agent.getBounds(false);
    if (!overlaps(o, a))
        return false;
    if (!isHorizontal())
        return true;
    if (a.x + a.width * 0.5f > o.x + o.width * 0.5f)
        record.obstacleLeft = true;
    else
        record.obstacleRight = true;
    return true;
}

void Platform::carryRiders(float dx, float dy) {
    for (Object* o : carried)
        o->translate(dx, dy);
    for (Object* o : obstacles)
        o->translate(dx, dy);
    // Agents attached to this platform follow as well; that step arrives with the agents.
}
