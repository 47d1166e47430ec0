#pragma once

#include "scene/Agent.h"

namespace game {

class World;
class SockListener;
class Sock;

// Something the Husband picks up: a body that falls and lands like any agent but never slows
// down by friction, and that enters and leaves the level as the rules decide.
class Collectible : public Agent {
public:
    Collectible();
    ~Collectible() override;

    std::string typeName() const override { return "Collectible"; }
    int applyPlatformGravity(double) override { return 0; }
    int reduceInertiaOnPlatform(double) override { return 0; }
    int reduceInertiaDetached(double) override { return 0; }
    int findPlatform(double dt) override;
    // Moves the body; one carried off past the world's wrap margin while resting comes back on
    // the other side and falls again.
    int applyInertia(double dt) override;

    // Jumps by a random offset in [-offset, 2 spread - offset) on each axis and falls again;
    // -1 for either stands for 50.
    virtual void scatter(double spread, double offset);
    // Into the level: drawn, updated, can be picked up. Nothing happens if it is there.
    virtual void place();
    // Out of the level (collected). Nothing happens if it is not there.
    virtual void remove();
    // A small step up off the platform it landed in.
    virtual void lift() {}

    bool isInLevel() const { return inLevel_; }
    void setListener(SockListener* l) { listener_ = l; }

protected:
    // The listener hears about the concrete sock.
    virtual Sock* asSock() { return nullptr; }

private:
    void leaveListsOf(World& world);

    bool inLevel_ = false;
    SockListener* listener_ = nullptr;
};

} // namespace game
