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
    // A language with longer words gets smaller letters rather than lines beyond the pane.
    const float scale = width > 0 ? std::min(1.0f, (maxWidth_ - 2 * kMargin) / width) : 1.0f;
    const float em = kEmSize * scale;
    const float lineHeight = kLineHeight * scale;
    keyColumn *= scale;
    width *= scale;
    // One blank line between what the game is about and the keys.
    const float height = static_cast<float>(about_.size() + 1 + keys_.size()) * lineHeight;
    const gfx::RectF pane{centre_.x - width / 2 - kMargin, centre_.y - height / 2 - kMargin,
                          width + 2 * kMargin, height + 2 * kMargin};
    path_.addRectangle(pane);

    text_.reset();
    const float left = pane.x + kMargin;
    float top = pane.y + kMargin;
    for (const std::string& line : about_) {
        text_.addString(line, em, {left, top});
        top += lineHeight;
    }
    top += lineHeight;
    for (const auto& [key, what] : keys_) {
        text_.addString(key, em, {left, top});
        text_.addString(what, em, {left + keyColumn + kColumnGap * scale, top});
        top += lineHeight;
    }
}

void HelpPanel::setText(std::vector<std::string> about,
                        std::vector<std::pair<std::string, std::string>> keys) {
    about_ = std::move(about);
    keys_ = std::move(keys);
    invalidate();
}

void HelpPanel::placeIn(gfx::RectF room) {
    centre_ = {room.x + room.width / 2, room.y + room.height / 2};
    maxWidth_ = room.width;
    invalidate();
}

} // namespace game
