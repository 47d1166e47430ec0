#pragma once

#include "characters/Person.h"

namespace game {

class TextBox;

// The player's figure: a blue man who goes where the player clicks and almost never wanders
// off by himself. With the platform display on, the status box names what he stands on.
class Husband : public Person {
public:
    Husband();

    std::string typeName() const override { return "Husband"; }
    // Faster at each speed level: 1.0, 1.2, 1.4.
    double timeScale() const override;
    void addBody() override;
    void drawBody(gfx::Graphics& g, gfx::PathIterator& figures) override;
    // A walk of his own only on a rare draw (16 in 32768).
    int randomGoal(double dt) override;
    // Where he names the platform he stands on while the status box shows platforms.
    void reportPlatformIn(TextBox* box) { statusBox = box; }

    static constexpr gfx::Argb kBodyColor = 0xff6464ff;

private:
    TextBox* statusBox = nullptr;
};

} // namespace game
