#pragma once

#include "scene/Object.h"

#include <vector>

namespace game {

class NavNode;
class Agent;

// What a platform tells an agent standing on it after a contact step.
struct ContactFeedback {
    int orientation = 0;
    bool obstacleLeft = false;
    bool obstacleRight = false;
    bool pushedUp = false;
    bool leave = false;
};

// One point of a walkway handed to the navigation graph; -999 in a coordinate means
// "use the node's own coordinate". A record with no node ends a list.
struct SurfacePoint {
    NavNode* node = nullptr;
    int x = -999;
    int y = -999;
};

// Level geometry that agents stand on (orientation 1, walked) or climb (orientation 0).
// Its outline is its collision shape. It carries its parts and stacked platforms along
// when it is displaced.
class Platform : public Object {
public:
    using Object::Object;

    void registerInGame(World& world) override;
    std::string typeName() const override { return "Platform"; }

    // Takes a part or a stacked platform along when displaced; a missing one is skipped.
    void carry(Object* rider) {
        if (rider != nullptr)
            carried.push_back(rider);
    }
    // Whether the outline meets the rectangle (cheap bounds test first, then exact regions).
    virtual bool touches(const gfx::RectF& r);
    // The per-step contact correction for an agent standing on or hanging from this platform:
    // lifts it out of a floor, draws it to a ladder's centre line, reports walls, and says
    // when the platform no longer holds it.
    virtual ContactFeedback contactFeedback(Agent& agent, double dt);
    // The bounds of the part of this platform's outline within the agent's figure: their
    // height is how deep the figure is sunk (empty when it is not).
    gfx::RectF sunkArea(Agent& agent);
    // Whether the obstacle blocks the agent sideways; on a horizontal platform it also sets
    // the side that is blocked. Agents are Objects, so this only needs their bounds.
    virtual bool checkObstacle(Object& agent, Object& obstacle, ContactFeedback& record);
    virtual int orientation() const = 0;
    bool isHorizontal() const { return orientation() == 1; }
    bool isVertical() const { return orientation() == 0; }
    // Whether a body with these bounds is still held by this platform.
    virtual bool supports(const gfx::RectF& r) const = 0;
    // Whether the platform still holds a body just beyond the end of its zone.
    bool holdsBeyondItsEnd(const gfx::RectF& a) const;
    // How far the body stands in this floor: the height of the part of it within the figure.
    float depthUnderFeet(Agent& agent, const gfx::RectF& figureBounds);
    // Whether this floor lies under the feet of a figure standing on it, or near enough below.
    bool liesBeneathFeet(const gfx::RectF& figureBounds);
    // Passes a displacement on to everything this platform carries, riders included.
    virtual void carryRiders(float dx, float dy);

    std::vector<Object*> carried;
    std::vector<Object*> obstacles;
};

} // namespace game
