#pragma once

#include "widgets/TextBox.h"

namespace game {

// A text box the pointer can pick: it glows (opaque fill) while the pointer is over it.
class Button : public TextBox {
public:
    Button(gfx::Argb fillColor, gfx::Argb penColor)
        : TextBox(fillColor, penColor), normalColour(fillColor), highlightColour(fillColor | 0xff000000u) {}

    // As any object, and also into the game's buttonList.
    void registerInGame(World& world) override;
    std::string typeName() const override { return "Button"; }
    void draw(gfx::Graphics& g) override;

    bool isHighlighted() const { return highlighted; }
    // Changes the glow; redraws only when it really changes.
    void setHighlighted(bool value);

private:
    bool highlighted = false;
    gfx::Argb normalColour;
    gfx::Argb highlightColour;
};

} // namespace game
