#include "characters/Husband.h"

#include "core/Random.h"
#include "gfx/Graphics.h"
#include "scene/Platform.h"
#include "scene/World.h"

namespace game {

Husband::Husband() {
    x_ = 380;
    y_ = 50;
    fillBrush_.setColor(kBodyColor);
}

double Husband::timeScale() const {
    return 0.8 + 0.2 * speedLevel();
}

void Husband::addBody() {
    // Only the player's figure has a listener: the small ones of the lives display stand on
    // nothing.
    if (platformListener_ && world() != nullptr && world()->settings().hudMode == 1) {
        const Platform* p = platform();
        platformListener_(isAttached() && p != nullptr ? p->typeName() : std::string{});
    }
    path_.addEllipse({-5, -30, 10, 10});
    // A wedge with its point at the hip and its arc across the shoulders.
    path_.addPie({-10, -20, 20, 40}, -120, 60);
}

void Husband::drawBody(gfx::Graphics& g, gfx::PathIterator& figures) {
    while (figures.next())
        g.fillPath(fillBrush_, figures.figure());
}

int Husband::randomGoal(double dt) {
    const int r = world()->random().next();
    if (static_cast<int>(r / 32768.0 * 2000) == 1)
        return Animal::randomGoal(dt);
    return 0;
}

} // namespace game
