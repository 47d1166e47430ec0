#include "gfx/GradientPainter.h"

#include "gfx/CairoDraw.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

using namespace gfx;

namespace {

// A glow's weights worked out directly are Cairo's fan of linear gradients, pixel for pixel
// but for a level of rounding here and there: the glows of the game (a disc, the long
// spindle of an edge seen from one end) at several scales, turned and mirrored.
TEST(GradientPainterTest, DirectWeightsAreCairosFan) {
    Path disc;
    disc.addEllipse({0, 0, 50, 50});
    // An edge's glow from (20, 150) to (150, 60): pointed at the start, 40 wide at the end
    // and reaching a fifth beyond it, seen from the end.
    const PointF from{20, 150};
    const PointF to{150, 60};
    const float length = std::hypot(to.x - from.x, to.y - from.y);
    const float ux = (to.x - from.x) / length;
    const float uy = (to.y - from.y) / length;
    const std::array<PointF, 4> points{
        PointF{to.x + 20 * uy, to.y - 20 * ux}, from, PointF{to.x - 20 * uy, to.y + 20 * ux},
        PointF{from.x + 1.2f * (to.x - from.x), from.y + 1.2f * (to.y - from.y)}};
    Path spindle;
    spindle.addClosedCurve(points, 0.5f);

    struct Case {
        const char* name;
        const Path* shape;
        PointF centre; // {} keeps the brush's own
        float scale;
        float turn; // degrees
        bool mirrored;
    };
    const Case cases[] = {
        {"disc", &disc, {}, 1, 0, false},
        {"disc", &disc, {}, 0.6f, 0, false},
        {"disc", &disc, {}, 2.3f, 0, false},
        {"disc off centre", &disc, {12, 30}, 1.37f, 0, true},
        {"spindle from its end", &spindle, to, 1, 0, false},
        {"spindle from its end", &spindle, to, 1.8f, 0, false},
        {"spindle turned", &spindle, to, 1.2f, 33, false},
        {"spindle mirrored", &spindle, to, 0.75f, 0, true},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.name) + " at scale " + std::to_string(c.scale);
        PathGradientBrush brush(*c.shape);
        if (c.centre.x != 0 || c.centre.y != 0)
            brush.setCenterPoint(c.centre);
        Matrix toMask;
        toMask.translate(c.mirrored ? 350.25f : 20.25f, 30.5f);
        toMask.rotate(c.turn);
        toMask.scale(c.mirrored ? -c.scale : c.scale, c.scale);
        const int side = 400;
        const float pixel = 1 / c.scale;

        cairo_surface_t* reference = cairo_image_surface_create(CAIRO_FORMAT_A8, side, side);
        cairo_t* cr = cairo_create(reference);
        CairoDraw::setMatrix(cr, toMask);
        GradientPainter::paintFan(cr, brush, pixel, 0xff000000, 0x00000000);
        cairo_destroy(cr);
        cairo_surface_flush(reference);

        cairo_surface_t* direct = cairo_image_surface_create(CAIRO_FORMAT_A8, side, side);
        cairo_surface_flush(direct);
        GradientPainter::fanWeights(cairo_image_surface_get_data(direct),
                                    cairo_image_surface_get_stride(direct), side, side, brush, pixel, toMask);

        int weighted = 0;
        int off = 0;
        int largest = 0;
        for (int y = 0; y < side; ++y) {
            const unsigned char* r =
                cairo_image_surface_get_data(reference) +
                static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(reference);
            const unsigned char* d = cairo_image_surface_get_data(direct) +
                                     static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(direct);
            for (int x = 0; x < side; ++x) {
                const int diff = std::abs(static_cast<int>(r[x]) - static_cast<int>(d[x]));
                weighted += r[x] != 0 ? 1 : 0;
                off += diff > 1 ? 1 : 0;
                largest = std::max(largest, diff);
            }
        }
        cairo_surface_destroy(reference);
        cairo_surface_destroy(direct);
        EXPECT_GT(weighted, 500) << what;
        EXPECT_LE(largest, 8) << what;
        EXPECT_LE(off, weighted / 500)
            << what << ": " << off << " of " << weighted << " off by more than a level";
    }
}

} // namespace
