#include "widgets/Button.h"

#include "scene/World.h"

namespace game {

void Button::registerInGame(World& world) {
    Object::registerInGame(world);
    world.objects().addButton(this);
}

void Button::draw(gfx::Graphics& g) {
    fillBrush.setColor(highlighted ? highlightColour : normalColour);
    TextBox::draw(g);
}

void Button::setHighlighted(bool value) {
    if (highlighted == value)
        return;
    highlighted = value;
    invalidate();
}

} // namespace game
