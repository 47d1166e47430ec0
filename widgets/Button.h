#pragma once

#include "widgets/TextBox.h"

namespace game {

// A text box the pointer can pick: it glows (opaque fill) while the pointer is over it.
class Button : public TextBox {
public:
    Button(gfx::Argb fillColor, gfx::Argb penColor)
        : TextBox(fillColor, penColor), normalColour_(fillColor), highlightColour_(fillColor | 0xff000000u) {}

    // As any object, and also into the game's buttonList.
    void registerInGame(World& world) override;
    std::string typeName() const override { return "Button"; }
    void draw(gfx::Graphics& g) override;

    bool isHighlighted() const { return highlighted_; }
    // Changes the glow; redraws only when it really changes.
    void setHighlighted(bool value);

private:
    bool highlighted_ = false;
    gfx::Argb normalColour_;
    gfx::Argb highlightColour_;
};

} // namespace game
