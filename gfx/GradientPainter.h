#pragma once

#include "gfx/Brush.h"
#include "gfx/Matrix.h"
#include "gfx/Path.h"

#include <cstdint>
#include <memory>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace gfx {

// Fills paths with path-gradient brushes on a Cairo context. With one surround colour (the
// glows of the game) the blend depends only on the brush's shape, so the painter keeps, per
// shape and device scale, a small mask holding the centre colour's weight at every device
// pixel; a frame then costs one or two masked paints, whatever the colours, and a brush
// that only moves (the light) or only fades (the edge glow) reuses its mask.
class GradientPainter {
public:
    // Fills path with brush; device is the context's current user-to-device transform.
    void fill(cairo_t* cr, const PathGradientBrush& brush, const Path& path, const Matrix& device);
    // A glow that fades to nothing at its rim (the edge glow) is one masked paint of its
    // centre colour, with the path's outline cut into the kept mask: each pixel then comes
    // out the same through any clip of whole pixels. Paints it and returns true if brush is
    // such a glow; false (and nothing painted) otherwise.
    bool fillFading(cairo_t* cr, const PathGradientBrush& brush, const Path& path, const Matrix& device);

    // Shapes kept (the drifting light alone takes four quarter-pixel placements), and the
    // largest mask kept (device pixels); larger brushes are painted directly every time.
    static constexpr std::size_t kCacheEntries = 8;
    static constexpr long kMaxMaskPixels = 1L << 21;

    // Paint the brush's colours over its area, widened by a few device pixels so that the
    // anti-aliased edge of the filled path finds colour under it. pixel: the size of a device
    // pixel in world units.
    static void paintFan(cairo_t* cr, const PathGradientBrush& brush, float pixel, Argb inner, Argb outer);
    // What paintFan paints from an opaque centre to a clear surround, as the centre's weight
    // 0 to 255 in each pixel of an A8 picture (rows stride bytes apart, already cleared),
    // worked out directly: toMask takes world units to the picture's pixels.
    static void fanWeights(std::uint8_t* data, int stride, int width, int height,
                           const PathGradientBrush& brush, float pixel, const Matrix& toMask);

private:
    struct SurfaceDeleter {
        void operator()(cairo_surface_t* s) const;
    };
    using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

    // Device translations are split into whole pixels and quarter-pixel steps; a mask serves
    // every position with the same steps.
    struct Placement {
        int wholeX = 0, wholeY = 0;
        int quarterX = 0, quarterY = 0;
    };
    struct Key {
        std::vector<PointF> boundary;
        PointF center;
        float m11 = 1, m12 = 0, m21 = 0, m22 = 1;
        int quarterX = 0, quarterY = 0;
        // The path whose outline is cut into the mask; empty for a mask of weights alone.
        std::vector<PointF> pathPoints;
        std::vector<std::uint8_t> pathTypes;
        bool evenOdd = false;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct Entry {
        Key key;
        SurfaceHandle weights;        // A8: centre colour's share, 0 outside the brush
        int offsetX = 0, offsetY = 0; // mask origin relative to the whole-pixel translation
        int width = 0, height = 0;
        std::uint64_t lastUse = 0;
    };

    static Placement placementOf(const Matrix& device);
    // cut: the path to cut into the mask, or nullptr.
    const Entry* weightsFor(const PathGradientBrush& brush, const Matrix& device, const Path* cut);
    // pixel: the size of a device pixel in world units.
    static void fillDirect(cairo_t* cr, const PathGradientBrush& brush, const Path& path, float pixel);
    static void paintMesh(cairo_t* cr, const PathGradientBrush& brush, float pixel);

    std::vector<Entry> cache_;
    std::uint64_t uses_ = 0;
};

} // namespace gfx
