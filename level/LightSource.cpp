#include "level/LightSource.h"

#include "gfx/Graphics.h"

namespace game {

namespace {

gfx::Path makeDisc() {
    gfx::Path p;
    p.addEllipse({0, 0, LightSource::kDiameter, LightSource::kDiameter});
    return p;
}

} // namespace

LightSource::LightSource() : Object(0xFFFFFFFF, 1.0f), disc_(makeDisc()), glow_(disc_) {
    glow_.setCenterColor(0xFFFFFFFF);
    if (glow_.pointCount() >= 1)
        glow_.setSurroundColors({0xFF000000});
}

void LightSource::update(double dt) {
    position_.x = static_cast<float>(position_.x + kDriftSpeed * dt);
    // A repaint only after more than half a pixel of drift: the slow glide would otherwise
    // repaint the disc on every frame for nothing visible.
    if (position_.x - lastDrawnPosition_.x > 0.5f) {
        invalidate();
        lastDrawnPosition_ = position_;
    }
    if (position_.x >= kWorldWidth) {
        position_.x = 0;
        lastDrawnPosition_.x = 0;
    }
}

void LightSource::draw(gfx::Graphics& g) {
    const int container = g.beginContainer();
    g.multiplyTransform(placement_, gfx::MatrixOrder::Append);
    g.fillPath(glow_, disc_);
    g.endContainer(container);
}

gfx::RectF LightSource::pathBounds(bool) const {
    return bounds_;
}

void LightSource::rebuildPath() {
    // The disc stands where it was when it was last invalidated, however late the shape is
    // rebuilt (a run that skips painting rebuilds it only for a screenshot).
    const float x = lastDrawnPosition_.x;
    placement_.reset();
    placement_.translate(x, kSkyHeight, gfx::MatrixOrder::Prepend);
    bounds_ = {x, kSkyHeight, kDiameter, kDiameter};
    clearShapeDirty();
}

void LightSource::placeAt(float x) {
    position_.x = x;
    lastDrawnPosition_.x = x;
    invalidate();
}

} // namespace game
