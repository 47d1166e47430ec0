#include "platform/MouseMapping.h"

#include <gtest/gtest.h>

using Point = platform::MouseMapping::Point;
using platform::MouseMapping;

TEST(MouseMapping, PointsScaleToPixelsAndAreClamped) {
    const MouseMapping same(800, 584, 800, 584);
    EXPECT_EQ(same.toPixels(0, 0), (Point{0, 0}));
    EXPECT_EQ(same.toPixels(215, 360), (Point{215, 360}));
    EXPECT_EQ(same.toPixels(799, 583), (Point{799, 583}));
    EXPECT_EQ(same.toPixels(-5, -1), (Point{0, 0})) << "outside the client area: clamped";
    EXPECT_EQ(same.toPixels(900, 600), (Point{799, 583}));

    const MouseMapping hiDpi(800, 584, 1600, 1168);
    EXPECT_EQ(hiDpi.toPixels(215, 360), (Point{430, 720}));
    EXPECT_EQ(hiDpi.toPixels(799, 583), (Point{1598, 1166}));

    const MouseMapping fractional(800, 584, 1200, 876); // truncates
    EXPECT_EQ(fractional.toPixels(1, 1), (Point{1, 1}));
    EXPECT_EQ(fractional.toPixels(3, 3), (Point{4, 4}));

    const MouseMapping empty;
    EXPECT_EQ(empty.toPixels(12, -3), (Point{12, 0})) << "an empty window keeps them non-negative";
}
