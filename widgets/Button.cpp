#include "widgets/Button.h"

#include "game/Game.h"

void Button::registerInGame() {
    Object::registerInGame();
    theGame().buttonList.push_back(this);
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
