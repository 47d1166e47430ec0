#pragma once

#include "scene/Object.h"

namespace game {

class Animal;

// A short arrow pointing down at the place an agent is walking to: blue for the Husband,
// red for the Wife.
class GoalArrow : public Object {
public:
    explicit GoalArrow(Animal& followed);

    // Takes the colour of the agent it follows.
    void registerInGame(World& world) override;
    std::string typeName() const override { return "GoalArrow"; }
    void update(double dt) override;
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    // The rules show the Husband's arrow during a round; redraws only on a change.
    void setEnabled(bool value);
    bool isShowing() const { return showing; }
    gfx::PointF target() const { return {static_cast<float>(targetX), static_cast<float>(targetY)}; }

private:
    void hide();

    bool enabled = false;
    bool showing = false;
    int targetX = -999;
    int targetY = -999;
    Animal& agent;
};

} // namespace game
