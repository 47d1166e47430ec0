#pragma once

#include "gfx/Brush.h"
#include "gfx/Geometry.h"
#include "gfx/Matrix.h"
#include "gfx/Path.h"
#include "scene/Object.h"

namespace game {

// The soft glow that drifts across the sky, 100 pixels below the top of the world, behind
// everything else. It has no outline of its own; only its bounds matter, for repainting.
class LightSource : public Object {
public:
    static constexpr float kSkyHeight = 100.0f;
    static constexpr float kDiameter = 50.0f;
    static constexpr float kDriftSpeed = 5.0f; // pixels per second
    static constexpr float kWorldWidth = 800.0f;

    LightSource();

    std::string typeName() const override { return "LightSource"; }
    void translate(float, float) override {}
    // It drifts on its own: drawn as usual, also while the ground shakes.
    bool keepsSprite() const override { return false; }
    void update(double dt) override;
    void draw(gfx::Graphics& g) override;
    gfx::RectF pathBounds(bool withPen) const override;
    void rebuildPath() override;

    gfx::PointF position() const { return position_; }
    gfx::PointF lastDrawnPosition() const { return lastDrawnPosition_; }
    // Puts the disc's left edge at x as if it had just been drawn there (replays, tests).
    void placeAt(float x);

private:
    gfx::Path disc_;                // the ellipse (0, 0, 50, 50) the glow fills
    gfx::PathGradientBrush glow_;   // white centre fading to a black rim
    gfx::RectF bounds_;             // (position, 100, 50, 50) once the shape is built
    gfx::Matrix placement_;         // translation to (position, 100)
    gfx::PointF position_;          // x is the disc's left edge; y is unused
    gfx::PointF lastDrawnPosition_; // position at the last invalidate()
};

} // namespace game
