#include "widgets/TextBox.h"

#include "gfx/Graphics.h"

namespace game {

void TextBox::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
    g.fillPath(fillBrush_, path_);
}

void TextBox::addContent() {
    path_.addString(text_, emSize_, {x_, y_});
}

void TextBox::setText(const std::string& value) {
    if (value == text_)
        return;
    text_ = value;
    invalidate();
}

void TextBox::setEmSize(float value) {
    if (emSize_ == value)
        return;
    emSize_ = value;
    invalidate();
}

void TextBox::setFillColor(gfx::Argb color) {
    if (fillBrush_.color() == color)
        return;
    fillBrush_.setColor(color);
    invalidate();
}

} // namespace game
