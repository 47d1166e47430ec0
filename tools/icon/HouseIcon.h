#pragma once

namespace gfx {
class Graphics;
}
namespace game {
class Game;
}

// The game's icon: the house at night, drawn by the scene's own objects, cut square around
// the house and scaled to size x size pixels. Widgets, highlights and texts stay out.
class HouseIcon {
public:
    // The square of the world the icon shows.
    static constexpr float kLeft = 125;
    static constexpr float kTop = 84;
    static constexpr float kSide = 500;

    static void draw(game::Game& game, gfx::Graphics& g, int size);
};
