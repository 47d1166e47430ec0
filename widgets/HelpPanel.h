#pragma once

#include "gfx/Brush.h"
#include "gfx/Path.h"
#include "scene/Switch.h"

#include <string>
#include <utility>
#include <vector>

namespace game {

// The help over the picture: a dark pane in the middle of the world with a few lines on what
// the game is about and, in two columns, every key with what it does, in the labels' outlined
// bold letters.
class HelpPanel : public Switch {
public:
    static constexpr float kEmSize = 14.0f;
    static constexpr float kLineHeight = 19.0f;

    HelpPanel();

    std::string typeName() const override { return "HelpPanel"; }
    void draw(gfx::Graphics& g) override;
    void addContent() override;
    void tick(double) override {}

    // The lines that say what the game is about, then the keys and what each does.
    void setText(std::vector<std::string> about, std::vector<std::pair<std::string, std::string>> keys);
    // Centres the pane in this part of the world, no wider than it.
    void placeIn(gfx::RectF room);
    // The text's outlines as last laid out, for checking it stays inside the pane.
    const gfx::Path& textPath() const { return text_; }

private:
    std::vector<std::string> about_;
    std::vector<std::pair<std::string, std::string>> keys_;
    gfx::PointF centre_{400, 292};
    float maxWidth_ = 800;
    gfx::Path text_;
    gfx::SolidBrush paneBrush_{0xd0101830};
    gfx::SolidBrush textBrush_{0xffdddd80};
};

} // namespace game
