#include "rules/Collectible.h"

#include "core/Random.h"
#include "rules/SockListener.h"
#include "scene/Platform.h"
#include "scene/World.h"

namespace game {

Collectible::Collectible() {
    x_ = 100;
    y_ = 100;
}

Collectible::~Collectible() {
    if (World* w = world())
        leaveListsOf(*w);
}

void Collectible::leaveListsOf(World& w) {
    w.objects().remove(ObjectRegistry::List::Draw, this);
    w.objects().remove(ObjectRegistry::List::Agent, this);
    // The next paint clears where it was last drawn.
    w.eraseLater(lastBounds());
}

int Collectible::findPlatform(double dt) {
    Agent::findPlatform(dt);
    if (isAttached()) {
        lift();
        invalidate();
        // Still inside what it landed on: keep rising a step per frame until clear.
        if (platform()->touches(bounds(false))) {
            detached_.activate();
            lift();
        } else {
            body_.velocity = {0, 0};
        }
    } else if (wrapIntoWorld(-20)) {
        scatter(-1, -1);
    }
    return 0;
}

int Collectible::applyInertia(double dt) {
    Agent::applyInertia(dt);
    // A sock keeps its speed where it rests (no friction, and no gravity on a pole or a
    // ladder), so nothing else would ever bring it back.
    if (isAttached() && wrapIntoWorld(20))
        detached_.activate();
    return 0;
}

void Collectible::scatter(double spread, double offset) {
    if (spread == -1)
        spread = 50;
    if (offset == -1)
        offset = 50;
    core::Random& random = world()->random();
    const double dx = random.next() * spread / 16384 - offset;
    const double dy = random.next() * spread / 16384 - offset;
    moveBy(static_cast<float>(dx), static_cast<float>(dy));
    wrapIntoWorld(-20);
    detached_.activate();
    invalidate();
}

void Collectible::place() {
    if (inLevel_)
        return;
    inLevel_ = true;
    if (listener_ != nullptr && asSock() != nullptr)
        listener_->sockPlaced(*asSock());
    if (World* w = world()) {
        w->objects().addOnce(ObjectRegistry::List::Draw, this);
        w->objects().addOnce(ObjectRegistry::List::Agent, this);
    }
    invalidate();
}

void Collectible::remove() {
    if (!inLevel_)
        return;
    inLevel_ = false;
    if (listener_ != nullptr && asSock() != nullptr)
        listener_->sockRemoved(*asSock());
    if (World* w = world())
        leaveListsOf(*w);
    invalidate();
}

} // namespace game
