#pragma once

#include "characters/Person.h"

namespace game {

// The red woman in a dress who roams the house. Once touched she shows only her outline.
class Wife : public Person {
public:
    Wife();

    std::string typeName() const override { return "Wife"; }
    // Slower than the Husband at each speed level: 0.6, 0.8, 1.0.
    double timeScale() const override;
    void addBody() override;
    void drawBody(gfx::Graphics& g, gfx::PathIterator& figures) override;

    static constexpr gfx::Argb kBodyColor = 0xffff6464;

private:
    gfx::Pen outlinePen_{kBodyColor, 3.0f};
};

} // namespace game
