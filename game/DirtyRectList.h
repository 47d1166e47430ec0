#pragma once

#include "gfx/Geometry.h"

#include <vector>

namespace gfx {
class Graphics;
class SolidBrush;
} // namespace gfx

namespace game {

// World rectangles that must be repainted, kept small and free of large overlaps: two
// rectangles that overlap by at least 4 x 4 become one box wasting under 400 square units,
// or non-overlapping horizontal bands.
class DirtyRectList {
public:
    static constexpr int kWorldWidth = 800;
    static constexpr int kWorldHeight = 584;
    static constexpr double kWorldAspect = 1.36986301369863; // 800 / 584
    static constexpr int kMinOverlap = 4;
    static constexpr int kMaxWaste = 400;

    // Converts to whole world units inside the world, then merges it in.
    void add(const gfx::RectF& r);
    // Adds the whole world units that cover r. add() rounds the start and truncates the
    // length, which can leave up to a unit and a half of a drawing outside its rectangle,
    // where the clip would keep stale pixels; the renderer adds bounds this way.
    void addCovering(const gfx::RectF& r);
    void addAll(const DirtyRectList& other);
    // Merges a rectangle that is already in whole world units.
    void insert(gfx::RectI r);
    // The first rectangle replaces the clip, the others are added to it.
    void clipTo(gfx::Graphics& g) const;
    // Fills a rectangle, widened to whole device pixels exactly as the clip is, so nothing
    // of the old picture survives at the clip's edges at any scale.
    static void fillDevicePixels(gfx::Graphics& g, const gfx::RectI& r, const gfx::SolidBrush& brush);
    bool intersects(const gfx::RectF& r, int margin) const;
    // Device rectangles to copy to the window, widened by margin device pixels.
    std::vector<gfx::RectI> toDevice(double scale, int margin) const;

    static gfx::RectI convert(const gfx::RectF& r);

    bool empty() const { return rects_.empty(); }
    int size() const { return static_cast<int>(rects_.size()); }
    void clear() { rects_.clear(); }
    const std::vector<gfx::RectI>& rects() const { return rects_; }

private:
    void splitIntoBands(std::size_t pIndex, const gfx::RectI& r, const gfx::RectI& overlap);

    std::vector<gfx::RectI> rects_;
};

} // namespace game
