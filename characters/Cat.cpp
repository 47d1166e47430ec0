#include "characters/Cat.h"

#include "characters/CatLimbs.h"
#include "gfx/Graphics.h"
#include "scene/Platform.h"
#include "scene/World.h"

#include <algorithm>
#include <array>

namespace game {

namespace {

// The figures drawBody paints in each manner, after the four legs.
constexpr int kFilledFigures = 5; // head top, head, two ears, body
constexpr int kWhiskerFigures = 6;

constexpr std::array<gfx::PointF, 7> kTail{{
    {13, -8},
    {14, -18},
    {11, -22},
    {18, -25},
    {12, -22},
    {15, -18},
    {13, -8},
}};

gfx::Matrix mirror() {
    gfx::Matrix m;
    m.scale(-1, 1);
    return m;
}

gfx::Matrix shift(float dx, float dy) {
    gfx::Matrix m;
    m.translate(dx, dy);
    return m;
}

} // namespace

Cat::Cat(std::string name, int startX, int startY, gfx::Argb color)
    : catName_(std::move(name)), outlinePen_(color, 3.0f) {
    outlinePen_.setLineJoin(gfx::LineJoin::Round);
    whiskerPen_.setLineJoin(gfx::LineJoin::Round);
    x_ = static_cast<float>(startX);
    y_ = static_cast<float>(startY);
    fillBrush_.setColor(color);
    pen_.setColor(lighter(color));
}

gfx::Argb Cat::lighter(gfx::Argb color) {
    auto channel = [color](int shift) {
        const int c = static_cast<int>((color >> shift) & 0xff);
        return static_cast<gfx::Argb>(std::min(static_cast<int>(c * 1.5), 255)) << shift;
    };
    return 0xff000000u | channel(16) | channel(8) | channel(0);
}

double Cat::timeScale() const {
    return 0.6 + 0.1 * speedLevel();
}

Pose Cat::idlePose(const AnimationState& s, bool facingRight) const {
    using namespace cat_limbs;
    const double t = s.timeClock;
    // Trotting in place; the hind legs keep their side whatever the facing.
    return {{{frontLeg, t, true, facingRight},
             {frontLeg, t, false, facingRight},
             {hindLegIdle, t, true, false},
             {hindLegIdle, t, false, false}}};
}

Pose Cat::fallPose(const AnimationState& s, bool facingRight) const {
    return gait(cat_limbs::frontLegFalling, cat_limbs::hindLegFalling, s.timeClock, facingRight);
}

Pose Cat::walkPose(const AnimationState& s, bool facingRight) const {
    return gait(cat_limbs::frontLeg, cat_limbs::hindLegWalking, s.strideClock, facingRight);
}

void Cat::addBody() {
    const Platform* p = platform();
    const bool climbing = walk_.isActive() && isAttached() && p != nullptr && p->isVertical();
    // The head and tail face the way the cat moves, not the way it last faced.
    const bool turned = !climbing && body_.velocity.x > 0;

    // The legs are mirrored with the rest and back again, so they end as their pose built them.
    if (turned)
        path_.transform(mirror());
    // Climbing, the head and an upright body go up and to the right of the legs: the legs are
    // shifted the other way here and everything is shifted back at the end.
    if (climbing)
        path_.transform(shift(-15, 15));

    path_.addRectangle({-20, -20, 10, 10});
    path_.addEllipse({-20, -15, 10, 10});
    path_.addEllipse({-23, -25, 4, 8});
    path_.addEllipse({-11, -25, 4, 8});
    path_.addEllipse(climbing ? gfx::RectF{-20, -5, 10, 20} : gfx::RectF{-10, -12, 20, 10});
    for (float wy : {-13.0f, -10.0f, -7.0f}) {
        path_.startFigure();
        path_.addLine({-25, wy}, {-20, wy});
    }
    for (float wy : {-13.0f, -10.0f, -7.0f}) {
        path_.startFigure();
        path_.addLine({-5, wy}, {-10, wy});
    }

    if (climbing) {
        path_.transform(shift(15, -15));
    } else {
        path_.startFigure();
        path_.addCurve(kTail);
    }
    if (turned)
        path_.transform(mirror());
}

void Cat::drawBody(gfx::Graphics& g, gfx::PathIterator& figures) {
    for (int i = 0; i < kFilledFigures && figures.next(); ++i) {
        if (touched_)
            g.drawPath(outlinePen_, figures.figure());
        else
            g.fillPath(fillBrush_, figures.figure());
    }
    // The whiskers never share a pixel, so they are drawn as one shape: one pass over their
    // pixels instead of six.
    if (figures.next(kWhiskerFigures))
        g.drawPath(whiskerPen_, figures.figure());
    // A climbing cat has no tail.
    if (figures.next())
        g.drawPath(outlinePen_, figures.figure());
}

} // namespace game
