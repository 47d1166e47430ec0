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
    bool isShowing() const { return showing_; }
    gfx::PointF target() const { return {static_cast<float>(targetX_), static_cast<float>(targetY_)}; }

private:
    void hide();

    bool enabled_ = false;
    bool showing_ = false;
    int targetX_ = -999;
    int targetY_ = -999;
    Animal& agent_;
};

} // namespace game
