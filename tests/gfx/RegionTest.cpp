#include "gfx/Region.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

using namespace gfx;

namespace {

Path rectanglePath(RectF r) {
    Path p;
    p.addRectangle(r);
    return p;
}

void expectRect(RectF actual, RectF expected, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.width, expected.width, tolerance);
    EXPECT_NEAR(actual.height, expected.height, tolerance);
}

} // namespace

TEST(RegionTest, UnionOfOverlappingRectanglesCountsTheOverlapOnce) {
    Region region(rectanglePath({0, 0, 10, 10}));
    region.unite(rectanglePath({5, 5, 10, 10}));
    EXPECT_NEAR(region.area(), 175, 1e-6);
    expectRect(region.bounds(), {0, 0, 15, 15});

    Region other(rectanglePath({100, 0, 1, 1}));
    region.unite(other);
    EXPECT_NEAR(region.area(), 176, 1e-6);
    expectRect(region.bounds(), {0, 0, 101, 15});
}

TEST(RegionTest, TriangleCutByRectangleKeepsTheExactArea) {
    Path triangle;
    const std::array<PointF, 3> corners{PointF{0, 0}, PointF{10, 0}, PointF{0, 10}};
    triangle.addLines(corners); // open figure: closed for the area
    Region region(triangle);
    EXPECT_NEAR(region.area(), 50, 1e-6);
    region.intersect(RectF{0, 0, 5, 5});
    EXPECT_NEAR(region.area(), 25, 1e-6); // the corner square lies wholly under the hypotenuse
    region.intersect(RectF{2.5f, 0, 10, 10});
    EXPECT_NEAR(region.area(), 12.5, 1e-6);
    expectRect(region.bounds(), {2.5f, 0, 2.5f, 5});
}

TEST(RegionTest, SubPixelOverlapIsNotEmptyButTouchingIsEmpty) {
    Region region(rectanglePath({0, 0, 10, 10}));
    Region sliver = region;
    sliver.intersect(RectF{9.9f, 3, 5, 5});
    EXPECT_FALSE(sliver.isEmpty());
    EXPECT_NEAR(sliver.area(), 0.5, 1e-3);

    Region touching = region;
    touching.intersect(RectF{10, 0, 5, 5});
    EXPECT_TRUE(touching.isEmpty());
    EXPECT_EQ(touching.bounds(), RectF{});

    Region apart = region;
    apart.intersect(Region(rectanglePath({20, 20, 5, 5})));
    EXPECT_TRUE(apart.isEmpty());
}

TEST(RegionTest, IntersectingRegionsKeepsTheCommonPart) {
    Path circle;
    circle.addEllipse({0, 0, 20, 20});
    Region region(circle, 0.01f);
    EXPECT_NEAR(region.area(), std::numbers::pi * 100, 0.2);
    region.intersect(Region(rectanglePath({10, 0, 20, 20})));
    EXPECT_NEAR(region.area(), std::numbers::pi * 50, 0.2);
    expectRect(region.bounds(), {10, 0, 10, 20}, 0.02f);
}

TEST(RegionTest, FillModeDecidesWhetherNestedFiguresMakeAHole) {
    Path alternate(FillMode::Alternate);
    alternate.addRectangle({0, 0, 10, 10});
    alternate.addRectangle({2, 2, 6, 6});
    const Region ring(alternate);
    EXPECT_NEAR(ring.area(), 64, 1e-6);
    EXPECT_EQ(ring.contours().size(), 2u);
    Region centre = ring;
    centre.intersect(RectF{4, 4, 2, 2});
    EXPECT_TRUE(centre.isEmpty());

    Path winding(FillMode::Winding);
    winding.addRectangle({0, 0, 10, 10});
    winding.addRectangle({2, 2, 6, 6});
    EXPECT_NEAR(Region(winding).area(), 100, 1e-6);
}

TEST(RegionTest, EmptyAndBrokenInputGiveEmptyRegions) {
    Region region;
    EXPECT_TRUE(region.isEmpty());
    region.intersect(RectF{0, 0, 10, 10});
    EXPECT_TRUE(region.isEmpty());

    Path flat;
    flat.addLine({0, 0}, {10, 10}); // two points enclose nothing
    const std::array<PointF, 3> collinear{PointF{100, 100}, PointF{150, 100}, PointF{200, 100}};
    flat.startFigure();
    flat.addLines(collinear); // nor do three in a line, however far away
    region.unite(flat);
    EXPECT_TRUE(region.isEmpty());
    EXPECT_EQ(region.bounds(), RectF{});

    Path broken;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::array<PointF, 3> bad{PointF{0, 0}, PointF{nan, 5}, PointF{0, 10}};
    broken.addLines(bad);
    broken.addRectangle({0, 0, 1, 1});
    region.unite(broken);
    EXPECT_NEAR(region.area(), 1, 1e-6); // the broken figure is left out, the good one stays

    Path huge;
    huge.addRectangle({-1e30f, -1e30f, 2e30f, 2e30f});
    region.unite(huge); // clamped, not overflowing
    EXPECT_FALSE(region.isEmpty());
    region.intersect(RectF{5, 5, 1, 1});
    EXPECT_NEAR(region.area(), 1, 1e-6);

    region.setEmpty();
    EXPECT_TRUE(region.isEmpty());
    EXPECT_EQ(region.area(), 0);
}
