#pragma once

#include "characters/Weapon.h"

namespace game {

// The Wife's bat: a club drawn as one smooth outline from the handle, at the position, up to
// the broad head, filled and outlined in its wood colour.
class Bat : public Weapon {
public:
    static constexpr gfx::Argb kColor = 0xffcc8030;

    Bat() : Weapon(kColor) {}

    std::string typeName() const override { return "Bat"; }
    void addContent() override;
    void draw(gfx::Graphics& g) override;
};

} // namespace game
