#pragma once

#include "characters/Person.h"

#include <string>

namespace game {

// A four-legged person: the same body, walking and animation, with a cat's legs, head, ears,
// whiskers and tail. Each cat has its own name (its type name), place and colour; its legs are
// drawn in a lighter shade of that colour.
class Cat : public Person {
public:
    Cat(std::string name, int startX, int startY, gfx::Argb color);

    std::string typeName() const override { return catName_; }
    // 0.7, 0.8, 0.9 at the three speed levels.
    double timeScale() const override;
    Pose idlePose(const AnimationState& s, bool facingRight) const override;
    Pose fallPose(const AnimationState& s, bool facingRight) const override;
    Pose walkPose(const AnimationState& s, bool facingRight) const override;
    void addBody() override;
    void drawBody(gfx::Graphics& g, gfx::PathIterator& figures) override;
    // Cats always wander when idle.
    int randomGoal(double dt) override { return Animal::randomGoal(dt); }

    // The limb colour for a body colour: each channel half as bright again, opaque. A channel
    // that would pass full brightness stays at full brightness.
    static gfx::Argb lighter(gfx::Argb color);

    const gfx::Pen& whiskerPen() const { return whiskerPen_; }

    static constexpr gfx::Argb kWhiskerColor = 0xff444444;

private:
    std::string catName_;
    gfx::Pen outlinePen_;
    gfx::Pen whiskerPen_{kWhiskerColor, 1.0f};
};

} // namespace game
