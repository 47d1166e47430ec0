// Whole frames of a running round painted with the game's rasterizer and through Cairo alone.
#include "game/GameHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace game {

namespace {

struct Difference {
    int largest = 0;
    long long overEight = 0;
    long long overSixteen = 0;
    long long differing = 0;
};

Difference compare(const gfx::Surface& a, const gfx::Surface& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            int largest = 0;
            for (int shift = 0; shift < 32; shift += 8)
                largest = std::max(largest, std::abs(static_cast<int>((a.pixel(x, y) >> shift) & 0xff) -
                                                     static_cast<int>((b.pixel(x, y) >> shift) & 0xff)));
            d.largest = std::max(d.largest, largest);
            d.overEight += largest > 8;
            d.overSixteen += largest > 16;
            d.differing += largest > 0;
        }
    }
    return d;
}

} // namespace

TEST(ShapePainter, ARoundLooksTheSameThroughCairoButForEdgeShading) {
    // The socks have fallen, the figures walk; the scale is 1 and 1.85.
    for (const auto& [width, height] : {std::pair{800, 584}, std::pair{1920, 1080}}) {
        GameHost host(width, height, 7);
        host.game.onKey('n');
        host.run(250);
        Renderer& renderer = host.game.renderer();
        gfx::Surface fast(width, height);
        renderer.setShapes(Renderer::Shapes::Fast);
        renderer.renderFullInto(host.game.sceneView(), fast);
        gfx::Surface cairo(width, height);
        renderer.setShapes(Renderer::Shapes::Cairo);
        renderer.renderFullInto(host.game.sceneView(), cairo);
        const Difference d = compare(fast, cairo);
        const long long pixels = static_cast<long long>(width) * height;
        EXPECT_GT(d.differing, 0) << "both pictures came from Cairo";
        // Cairo's own shading of an edge is off by up to 17 levels; a few pixels inside sharp
        // bends of the figures' limbs are lighter (see the rasterizer's reference test).
        EXPECT_LE(d.largest, 96) << width << "x" << height;
        EXPECT_LT(d.overEight * 200, pixels) << width << "x" << height << ": " << d.overEight;
        EXPECT_LT(d.overSixteen * 1000, pixels) << width << "x" << height << ": " << d.overSixteen;
    }
}

} // namespace game
