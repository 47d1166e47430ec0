#include "level/LightSource.h"

#include <gtest/gtest.h>

namespace game {

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
    EXPECT_FLOAT_EQ(light.lastDrawnPosition().x, 0);
    light.update(0.04); // 0.6 px
    EXPECT_TRUE(light.isRedrawNeeded());
    EXPECT_FLOAT_EQ(light.lastDrawnPosition().x, light.position().x);
    EXPECT_NEAR(light.position().x, 0.6f, 1e-6);
}

TEST(LightSource, WrapsAtTheRightEdgeWithoutARepaint) {
    LightSource light;
    light.placeAt(799.9f);
    drawn(light);
    light.update(0.04);
    EXPECT_EQ(light.position().x, 0);
    EXPECT_EQ(light.lastDrawnPosition().x, 0);
    EXPECT_FALSE(light.isRedrawNeeded());
    light.update(0.12); // 0.6 px from 0
    EXPECT_TRUE(light.isRedrawNeeded());
}

TEST(LightSource, BoundsAreTheDiscWithOrWithoutPen) {
    LightSource light;
    light.placeAt(123.25f);
    const gfx::RectF expected{123.25f, 100, 50, 50};
    EXPECT_EQ(light.bounds(true), expected);
    EXPECT_EQ(light.bounds(false), expected);
    EXPECT_TRUE(light.region().isEmpty());
    light.translate(10, 10);
    EXPECT_EQ(light.bounds(false), expected);
}

} // namespace game
