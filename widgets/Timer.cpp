#include "widgets/Timer.h"

#include "gfx/Graphics.h"
#include "widgets/TextBox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace game {

void Timer::tick(double dt) {
    if (frozen_)
        return;
    elapsed_ += dt;
    const int s = static_cast<int>(std::trunc(elapsed_));
    if (s > shownSeconds_) {
        shownSeconds_ = s;
        invalidate();
    }
}

void Timer::restart() {
    elapsed_ = 0;
    shownSeconds_ = -1;
    frozen_ = false;
    invalidate();
}

std::string Timer::text() const {
    // Before its first tick nothing has been counted: that is 00:00, not a negative second.
    const int seconds = std::max(shownSeconds_, 0);
    char out[32];
    std::snprintf(out, sizeof out, "%02d:%02d", seconds / 60, seconds % 60);
    return out;
}

void Timer::addContent() {
    path_.addString(text(), TextBox::kEmSize, {x_, y_});
}

void Timer::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
    g.fillPath(fillBrush_, path_);
}

} // namespace game
