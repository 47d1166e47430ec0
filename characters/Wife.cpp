#include "characters/Wife.h"

#include "gfx/Graphics.h"
#include "scene/World.h"

namespace game {

Wife::Wife() {
    x_ = 100;
    y_ = 150;
    fillBrush_.setColor(kBodyColor);
}

double Wife::timeScale() const {
    return 0.4 + 0.2 * speedLevel();
}

void Wife::addBody() {
    path_.addEllipse({-5, -30, 10, 10});
    // A dress with its point at the shoulders, flaring down past the hips.
    path_.addPie({-30, -35, 60, 40}, 60, 60);
}

void Wife::drawBody(gfx::Graphics& g, gfx::PathIterator& figures) {
    while (figures.next()) {
        if (touched_)
            g.drawPath(outlinePen_, figures.figure());
        else
            g.fillPath(fillBrush_, figures.figure());
    }
}

} // namespace game
