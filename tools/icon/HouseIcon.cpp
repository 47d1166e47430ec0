#include "tools/icon/HouseIcon.h"

#include "game/Game.h"
#include "gfx/Brush.h"
#include "gfx/Graphics.h"
#include "level/LightSource.h"
#include "scene/Object.h"
#include "scene/World.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// A night sky a little lighter than the game's black, so that the icon reads on dark panels.
constexpr gfx::Argb kSky = 0xff0a1226;
// Where the light hangs: over the roof's left end, like a moon.
constexpr float kLightX = 150;

bool isScenery(const game::Object& object) {
    static const std::array<std::string, 5> notScenery{"Button", "TextBox", "NodeHighlight", "EdgeHighlight",
                                                       "GoalArrow"};
    return std::find(notScenery.begin(), notScenery.end(), object.typeName()) == notScenery.end();
}

} // namespace

void HouseIcon::draw(game::Game& game, gfx::Graphics& g, int size) {
    g.resetTransform();
    g.fillRectangle(gfx::SolidBrush(kSky), {0, 0, static_cast<float>(size), static_cast<float>(size)});
    const float scale = static_cast<float>(size) / kSide;
    g.scaleTransform(scale, scale);
    g.translateTransform(-kLeft, -kTop);
    game.light().placeAt(kLightX);
    game.light().refreshShape();
    // Seen small, the game's faint night colours would vanish; every shape goes on twice,
    // which doubles the strength of its translucent paint.
    for (int pass = 0; pass < 2; ++pass) {
        for (game::Object* object : game.world().objects().drawList()) {
            if (isScenery(*object))
                object->draw(g);
        }
    }
    g.flush();
}
