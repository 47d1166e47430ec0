#include "platform/MouseMapping.h"

#include <gtest/gtest.h>

using Point = platform::MouseMapping::Point;
using platform::MouseMapping;

TEST(MouseMapping, EqualSizesMapOneToOne) {
    const MouseMapping mapping(800, 584, 800, 584);
    EXPECT_EQ(mapping.toPixels(0, 0), (Point{0, 0}));
    EXPECT_EQ(mapping.toPixels(215, 360), (Point{215, 360}));
    EXPECT_EQ(mapping.toPixels(799, 583), (Point{799, 583}));
}

TEST(MouseMapping, HiDpiPointsCoverSeveralPixels) {
    const MouseMapping mapping(800, 584, 1600, 1168);
    EXPECT_EQ(mapping.toPixels(215, 360), (Point{430, 720}));
    EXPECT_EQ(mapping.toPixels(799, 583), (Point{1598, 1166}));
}

TEST(MouseMapping, FractionalScaleTruncates) {
    const MouseMapping mapping(800, 584, 1200, 876);
    EXPECT_EQ(mapping.toPixels(1, 1), (Point{1, 1}));
    EXPECT_EQ(mapping.toPixels(3, 3), (Point{4, 4}));
}

TEST(MouseMapping, PositionsOutsideTheClientAreaAreClamped) {
    const MouseMapping mapping(800, 584, 800, 584);
    EXPECT_EQ(mapping.toPixels(-5, -1), (Point{0, 0}));
    EXPECT_EQ(mapping.toPixels(900, 600), (Point{799, 583}));
}

TEST(MouseMapping, AnEmptyWindowKeepsCoordinatesNonNegative) {
    const MouseMapping mapping;
    EXPECT_EQ(mapping.toPixels(12, -3), (Point{12, 0}));
}
