#pragma once

#include "gfx/Geometry.h"

namespace game {

// What the world asks of the game that runs it: the two things only a frame cycle and a
// renderer know. A world without a host (a test's bare world) measures no frame rate and
// paints nothing, so it has nothing to clear.
class WorldHost {
public:
    // Mean rate of the recent frames; 0 while nothing has been measured.
    virtual double framesPerSecond() const = 0;
    // An object left the scene: the next paint clears where it was last drawn.
    virtual void eraseLater(const gfx::RectF& lastBounds) = 0;

protected:
    ~WorldHost() = default;
};

} // namespace game
