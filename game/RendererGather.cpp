#include "game/Renderer.h"

#include "scene/Object.h"

#include <algorithm>

// The first phase of every paint: what changed since the last one. Each object keeps the
// bounds it was last painted with; the repaints clear where an object was and draw where it
// is, so this pass brings those bounds up to date once, for whichever repaint follows.

namespace game {

void Renderer::gatherChanges(const SceneView& scene, bool everyObject) {
    changes_.clear();
    for (std::size_t i = 0; i < scene.drawList.size(); ++i) {
        Object* object = scene.drawList[i];
        const bool redrawn = object->isRedrawNeeded();
        if (!redrawn && !everyObject)
            continue;
        object->refreshShape();
        Change change;
        change.index = i;
        change.before = object->lastBounds();
        change.now = object->pathBounds(true);
        change.redrawn = redrawn;
        object->setLastBounds(change.now);
        object->clearRedrawNeeded();
        changes_.push_back(change);
    }
}

void Renderer::forgetChangedPictures() {
    for (const Change& change : changes_) {
        if (change.redrawn && change.index < sprites_.size())
            sprites_[change.index] = ObjectSprite();
    }
}

std::size_t Renderer::sceneryEndOf(const SceneView& scene) {
    // The characters and all drawn after them (widgets, socks) change often; what lies
    // behind them, the house and the garden, seldom does.
    for (std::size_t i = 0; i < scene.drawList.size(); ++i) {
        if (std::find(scene.agents.begin(), scene.agents.end(), scene.drawList[i]) != scene.agents.end())
            return i;
    }
    return scene.drawList.size();
}

bool Renderer::coversMuchOfTheWorld(const DirtyRectList& rects) {
    // During an earthquake the whole house and garden move. Repainted rectangle by rectangle,
    // the big shapes cut by each rectangle's sides would be drawn whole once per rectangle;
    // past a third of the world one pass over all of it is cheaper, and paints the same.
    long long area = 0;
    for (const gfx::RectI& r : rects.rects())
        area += static_cast<long long>(r.width) * r.height;
    return area * 3 > static_cast<long long>(DirtyRectList::kWorldWidth) * DirtyRectList::kWorldHeight;
}

} // namespace game
