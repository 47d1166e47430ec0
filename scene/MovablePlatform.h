#pragma once

#include "gfx/Brush.h"
#include "scene/Platform.h"

#include <array>
#include <cstddef>
#include <deque>
#include <span>
#include <utility>

namespace gfx {
class Graphics;
}

namespace game {

// A horizontal platform with a fixed design outline that follows displacements through a
// queue, one per frame, so a stack of platforms follows its base with a lag.
class MovablePlatform : public Platform {
public:
    MovablePlatform();

    // Queues the move; update applies it.
    void translate(float dx, float dy) override;
    // Applies at most one queued move and passes it on to the riders.
    void update(double dt) override;
    int orientation() const override { return 1; }

    float offsetX() const { return offsetX_; }
    float offsetY() const { return offsetY_; }
    const std::deque<std::pair<float, float>>& pendingMoves() const { return pendingMoves_; }

    // A design outline written relative to its placement offset, as absolute points. Done at
    // compile time from a constant table, so no instance can ever offset it twice.
    template <std::size_t N>
    static constexpr std::array<gfx::PointF, N> placed(const std::array<gfx::PointF, N>& design,
                                                       gfx::PointF offset) {
        std::array<gfx::PointF, N> out{};
        for (std::size_t i = 0; i < N; ++i)
            out[i] = {design[i].x + offset.x, design[i].y + offset.y};
        return out;
    }

protected:
    // The design outline, moved by the displacements applied so far.
    void rebuildAtOffset(std::span<const gfx::PointF> outline, Joined joined = Joined::Lines);
    // Fill, then the pen (inset, so the stroke stays inside the fill).
    void fillAndStroke(gfx::Graphics& g, const gfx::SolidBrush& fill);
    // Support zone of a storey: the body reaches the left limit, does not pass the right one,
    // and its bottom is at most 20 pixels below the top. Design limits: a displaced storey
    // keeps supporting where it was built.
    static bool withinSupportZone(const gfx::RectF& r, float left, float right, float top) {
        return r.x + r.width >= left && r.x <= right && r.y + r.height <= top + 20;
    }

    std::deque<std::pair<float, float>> pendingMoves_;
    float offsetX_ = 0;
    float offsetY_ = 0;
};

} // namespace game
