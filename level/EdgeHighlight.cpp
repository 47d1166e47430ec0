#include "level/EdgeHighlight.h"

#include "agents/NavGraph.h"
#include "gfx/Brush.h"
#include "gfx/Graphics.h"

#include <cmath>
#include <vector>

namespace game {

EdgeHighlight::EdgeHighlight() : Object(0xFF4040FF, 4.0f) {}

void EdgeHighlight::setEdge(NavEdge* edge) {
    if (edge != edge_) {
        edge_ = edge;
        invalidate();
    }
    if (edge_)
        glowTime = kGlowSeconds;
}

std::uint8_t EdgeHighlight::shade() const {
    return static_cast<std::uint8_t>(static_cast<unsigned>(static_cast<int>(glowTime / kGlowSeconds * 128)) &
                                     0xFFu);
}

void EdgeHighlight::update(double dt) {
    if (glowTime <= 0)
        return;
    const std::uint8_t before = shade();
    glowTime -= dt;
    if (glowTime <= 0) {
        glowTime = 0;
        setEdge(nullptr);
    }
    // The glow fades a shade about every other frame; the frames between would repaint the
    // very same pixels over its whole length.
    if (shade() != before)
        invalidate();
}

void EdgeHighlight::rebuildPath() {
    path_.reset();
    if (edge_) {
        const gfx::PointF a = edge_->start();
        const gfx::PointF b = edge_->end();
        const float dx = b.x - a.x;
        const float dy = b.y - a.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        // An edge of zero length has no direction to glow along; it shows nothing rather
        // than a shape made of divisions by zero.
        if (length > 0) {
            const float ux = dx / length;
            const float uy = dy / length;
            // A spindle 40 pixels wide at the end point, pointed at the start and 20 % beyond
            // the end.
            const gfx::PointF spindle[] = {
                {b.x + 20 * uy, b.y - 20 * ux},
                a,
                {b.x - 20 * uy, b.y + 20 * ux},
                {a.x + 1.2f * dx, a.y + 1.2f * dy},
            };
            path_.addClosedCurve(spindle, 0.5f);
        }
    }
    clearShapeDirty();
}

void EdgeHighlight::draw(gfx::Graphics& g) {
    if (!edge_ || path_.empty())
        return;
    gfx::PathGradientBrush glow(path_);
    glow.setCenterColor(gfx::makeArgb(shade(), 0xFF, 0xFF, 0xFF));
    if (glow.pointCount() >= 1)
        glow.setSurroundColors({0x00FFFFFF});
    const gfx::PointF end = edge_->end();
    glow.setCenterPoint({std::trunc(end.x), std::trunc(end.y)});
    g.fillPath(glow, path_);
}

} // namespace game
