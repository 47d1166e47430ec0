#include "widgets/Trampoline.h"

#include "agents/Animal.h"
#include "gfx/Graphics.h"
#include "scene/World.h"

#include <algorithm>
#include <cmath>

namespace game {

Trampoline::Trampoline(gfx::RectF area, gfx::Argb colour, double period, double baseSpeed)
    : Wall(area, 0xffffffff, 3.0f, 0xffffffff), cyclePeriod_(period), baseLaunchSpeed_(baseSpeed),
      trampolineColour_(colour) {}

void Trampoline::update(double dt) {
    cycleTime_ += dt;
    const int p = static_cast<int>(std::trunc(cycleTime_ * 20 / cyclePeriod_));
    if (p == phase_)
        return;
    phase_ = p;
    // Armed in the last quarter of the cycle; it tries only when its phase changes.
    if (isArmed() && (tryLaunch() || cycleTime_ > cyclePeriod_)) {
        cycleTime_ = 0;
        phase_ = 0;
    }
    invalidate();
}

bool Trampoline::standsOn(Animal& animal, const gfx::RectF& t) {
    // Its feet on the trampoline, not only a hand over its edge: the basement's ends leave less
    // room beside the trampolines than a figure standing with its arms out takes, and anyone
    // sent there would be thrown however he stood.
    const gfx::RectF a = animal.bounds(false);
    const float feet = animal.position().x;
    return gfx::overlaps(a, t) && feet >= t.x && feet < t.x + t.width;
}

bool Trampoline::tryLaunch() {
    const gfx::RectF t = bounds(false);
    const World& scene = *world();
    for (Object* o : scene.objects().animalList()) {
        auto* animal = static_cast<Animal*>(o);
        if (!standsOn(*animal, t))
            continue;
        // Higher at a higher frame rate and at lower speed levels. While no frame interval has
        // been measured the rate counts as unknown, and the launch uses the base speed.
        const double g = std::max(scene.framesPerSecond() - 20, 0.0);
        const double h = std::max(3 - scene.settings().speedLevel, 0);
        animal->launch(g * (3 * h + 5) + baseLaunchSpeed_);
        return true;
    }
    return false;
}

void Trampoline::draw(gfx::Graphics& g) {
    const auto a = static_cast<std::uint8_t>(static_cast<int>(std::trunc(250 - 10.0 * phase_)) & 0xff);
    // Coloured copies: the scenery may be painted on several threads at once, and drawing
    // changes nothing of the trampoline.
    gfx::Pen edge = pen_;
    edge.setColor(gfx::makeArgb(a, gfx::redOf(trampolineColour_) / 2, gfx::greenOf(trampolineColour_) / 2,
                                gfx::blueOf(trampolineColour_) / 2));
    g.drawPath(edge, path_);
    gfx::SolidBrush face = fill_;
    face.setColor(gfx::makeArgb(a, gfx::redOf(trampolineColour_), gfx::greenOf(trampolineColour_),
                                gfx::blueOf(trampolineColour_)));
    g.fillPath(face, path_);
}

} // namespace game
