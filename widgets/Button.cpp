#include "widgets/Button.h"

#include "scene/World.h"

namespace game {

void Button::registerInGame(World& world) {
    Object::registerInGame(world);
    world.objects().addButton(this);
}

void Button::draw(gfx::Graphics& g) {
    fillBrush_.setColor(highlighted_ ? highlightColour_ : normalColour_);
    TextBox::draw(g);
}

void Button::setHighlighted(bool value) {
    if (highlighted_ == value)
        return;
    highlighted_ = value;
    invalidate();
}

} // namespace game
