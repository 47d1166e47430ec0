#include "widgets/HelpPanel.h"

#include "gfx/GlyphOutlines.h"
#include "gfx/Graphics.h"

#include <algorithm>

namespace game {

namespace {

constexpr float kMargin = 14.0f;
// Between the keys' column and their descriptions.
constexpr float kColumnGap = 12.0f;

} // namespace

HelpPanel::HelpPanel() : Switch(0xc0000000, 2.0f) {}

void HelpPanel::draw(gfx::Graphics& g) {
    g.fillPath(paneBrush_, path_);
    g.drawPath(pen_, text_);
    g.fillPath(textBrush_, text_);
}

void HelpPanel::addContent() {
    gfx::GlyphOutlines& glyphs = gfx::GlyphOutlines::instance();
    float keyColumn = 0;
    float width = 0;
    for (const auto& [key, what] : keys_)
        keyColumn = std::max(keyColumn, glyphs.advance(key, kEmSize));
    for (const auto& [key, what] : keys_)
        width = std::max(width, keyColumn + kColumnGap + glyphs.advance(what, kEmSize));
    for (const std::string& line : about_)
        width = std::max(width, glyphs.advance(line, kEmSize));
    // One blank line between what the game is about and the keys.
    const float height = static_cast<float>(about_.size() + 1 + keys_.size()) * kLineHeight;
    const gfx::RectF pane{centre_.x - width / 2 - kMargin, centre_.y - height / 2 - kMargin,
                          width + 2 * kMargin, height + 2 * kMargin};
    path_.addRectangle(pane);

    text_.reset();
    const float left = pane.x + kMargin;
    float top = pane.y + kMargin;
    for (const std::string& line : about_) {
        text_.addString(line, kEmSize, {left, top});
        top += kLineHeight;
    }
    top += kLineHeight;
    for (const auto& [key, what] : keys_) {
        text_.addString(key, kEmSize, {left, top});
        text_.addString(what, kEmSize, {left + keyColumn + kColumnGap, top});
        top += kLineHeight;
    }
}

void HelpPanel::setText(std::vector<std::string> about,
                        std::vector<std::pair<std::string, std::string>> keys) {
    about_ = std::move(about);
    keys_ = std::move(keys);
    invalidate();
}

void HelpPanel::centreOn(gfx::PointF centre) {
    centre_ = centre;
    invalidate();
}

} // namespace game
