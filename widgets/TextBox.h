#pragma once

#include "gfx/Brush.h"
#include "scene/Switch.h"

#include <string>

namespace game {

// A line of bold text drawn as outlines: stroked with the pen, then filled.
class TextBox : public Switch {
public:
    static constexpr float kEmSize = 24.0f;

    TextBox(gfx::Argb fillColor, gfx::Argb penColor) : Switch(penColor, 2.0f), fillBrush_(fillColor) {}

    std::string typeName() const override { return "TextBox"; }
    void draw(gfx::Graphics& g) override;
    void addContent() override;
    void tick(double) override {}

    const std::string& text() const { return text_; }
    // Replaces the text (UTF-8); an unchanged text costs no redraw.
    void setText(const std::string& value);

    // The letters' size, in world units (the labels' own by default).
    void setEmSize(float value);

    gfx::Argb fillColor() const { return fillBrush_.color(); }
    // Recolours the fill; redraws only when the colour really changes.
    void setFillColor(gfx::Argb color);

protected:
    gfx::SolidBrush fillBrush_;

private:
    std::string text_;
    float emSize_ = kEmSize;
};

} // namespace game
