#include "scene/LightSource.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The light as it stands after the renderer drew it: shape built, nothing pending.
void drawn(LightSource& light) {
    light.refreshShape();
    light.clearRedrawNeeded();
}

} // namespace

TEST(LightSource, RepaintsOnlyAfterMoreThanHalfAPixel) {
    LightSource light;
    drawn(light);
    light.update(0.08); // 0.4 px
    EXPECT_FALSE(light.isRedrawNeeded());
    EXPECT_FLOAT_EQ(light.getLastDrawnPosition().x, 0);
    light.update(0.04); // 0.6 px
    EXPECT_TRUE(light.isRedrawNeeded());
    EXPECT_FLOAT_EQ(light.getLastDrawnPosition().x, light.getPosition().x);
    EXPECT_NEAR(light.getPosition().x, 0.6f, 1e-6);
}

TEST(LightSource, WrapsAtTheRightEdgeWithoutARepaint) {
    LightSource light;
    light.placeAt(799.9f);
    drawn(light);
    light.update(0.04);
    EXPECT_EQ(light.getPosition().x, 0);
    EXPECT_EQ(light.getLastDrawnPosition().x, 0);
    EXPECT_FALSE(light.isRedrawNeeded());
    light.update(0.12); // 0.6 px from 0
    EXPECT_TRUE(light.isRedrawNeeded());
}

TEST(LightSource, BoundsAreTheDiscWithOrWithoutPen) {
    LightSource light;
    light.placeAt(123.25f);
    const gfx::RectF expected{123.25f, 100, 50, 50};
    EXPECT_EQ(light.getBounds(true), expected);
    EXPECT_EQ(light.getBounds(false), expected);
    EXPECT_TRUE(light.getRegion().isEmpty());
    light.translate(10, 10);
    EXPECT_EQ(light.getBounds(false), expected);
}

TEST(LightSource, GlowStaysInsideTheRepaintedArea) {
    // The renderer repaints what the bounds say, cut to whole world units and then to whole
    // device pixels; the anti-aliased rim of a disc at a fractional position, at any window
    // scale, must not leave anything outside that.
    for (float scale : {1.0f, 2.5f}) {
        for (float x : {10.0f, 10.3f, 10.5f, 10.7f}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " x " << x);
            LightSource light;
            light.placeAt(x);
            light.refreshShape();
            const int size = static_cast<int>(200 * scale);
            gfx::Surface surface(size, size);
            gfx::Graphics g(surface);
            g.clear(0xFF000000);
            g.scaleTransform(scale, scale);
            light.draw(g);
            g.flush();
            const gfx::RectF b = light.getBounds(true);
            const int left = static_cast<int>(b.x + 0.5f);
            const int top = static_cast<int>(b.y + 0.5f);
            const auto deviceLeft = static_cast<int>(std::floor(static_cast<float>(left) * scale));
            const auto deviceTop = static_cast<int>(std::floor(static_cast<float>(top) * scale));
            const auto deviceRight = static_cast<int>(std::ceil(static_cast<float>(left + 50) * scale));
            const auto deviceBottom = static_cast<int>(std::ceil(static_cast<float>(top + 50) * scale));
            int outside = 0;
            for (int py = 0; py < size; ++py)
                for (int px = 0; px < size; ++px)
                    if (surface.pixel(px, py) != 0xFF000000u &&
                        (px < deviceLeft || px >= deviceRight || py < deviceTop || py >= deviceBottom))
                        ++outside;
            EXPECT_EQ(outside, 0);
            // And the glow is there: bright in the middle.
            const auto centre = static_cast<int>((x + 25) * scale);
            EXPECT_GT(surface.pixel(centre, static_cast<int>(125 * scale)) & 0xFFu, 200u);
        }
    }
}
