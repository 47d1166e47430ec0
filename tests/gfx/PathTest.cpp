#include "gfx/Path.h"
#include "gfx/Matrix.h"
#include "gfx/PathIterator.h"
#include "gfx/Pen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

using namespace gfx;

namespace {

void expectPoint(PointF actual, PointF expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

PointType kindAt(const Path& p, int i) {
    return static_cast<PointType>(p.types()[static_cast<std::size_t>(i)] & kPointTypeMask);
}

bool closedAt(const Path& p, int i) {
    return (p.types()[static_cast<std::size_t>(i)] & kCloseFlag) != 0;
}

bool contains(const RectF& outer, const RectF& inner, float slack = 1e-3f) {
    return inner.x >= outer.x - slack && inner.y >= outer.y - slack &&
           inner.right() <= outer.right() + slack && inner.bottom() <= outer.bottom() + slack;
}

} // namespace

TEST(PathTest, OpenCurvePassesThroughEveryPointWithControlsATensionThirdAlongTheChord) {
    const std::array<PointF, 4> pts{PointF{0, 0}, PointF{30, 60}, PointF{90, 30}, PointF{120, 90}};
    Path path;
    ASSERT_EQ(path.addCurve(pts), Status::Ok);
    ASSERT_EQ(path.pointCount(), 10); // start + 3 Beziers
    for (int i = 0; i < 4; ++i)
        expectPoint(path.points()[static_cast<std::size_t>(3 * i)], pts[static_cast<std::size_t>(i)]);
    const float k = 0.5f / 3.0f;
    // Inner control points lean along the chord between the neighbours.
    expectPoint(path.points()[2],
                {pts[1].x - k * (pts[2].x - pts[0].x), pts[1].y - k * (pts[2].y - pts[0].y)});
    expectPoint(path.points()[4],
                {pts[1].x + k * (pts[2].x - pts[0].x), pts[1].y + k * (pts[2].y - pts[0].y)});
    // At the ends the missing neighbour is the end point itself.
    expectPoint(path.points()[1], {k * pts[1].x, k * pts[1].y});
    expectPoint(path.points()[8],
                {pts[3].x - k * (pts[3].x - pts[2].x), pts[3].y - k * (pts[3].y - pts[2].y)});
    EXPECT_EQ(kindAt(path, 0), PointType::Start);
    EXPECT_EQ(kindAt(path, 9), PointType::Bezier);
    EXPECT_FALSE(closedAt(path, 9));
}

TEST(PathTest, ClosedCurveWrapsAroundAndIsAFigureOfItsOwn) {
    const std::array<PointF, 4> pts{PointF{0, 0}, PointF{100, 0}, PointF{100, 100}, PointF{0, 100}};
    Path path;
    path.addLine({-50, -50}, {-40, -40});
    ASSERT_EQ(path.addClosedCurve(pts), Status::Ok);
    EXPECT_EQ(path.figureCount(), 2);
    const auto fig = path.figures()[1];
    ASSERT_EQ(fig.pointCount(), 13);
    for (int i = 0; i <= 4; ++i)
        expectPoint(fig.points()[static_cast<std::size_t>(3 * i)], pts[static_cast<std::size_t>(i % 4)]);
    const float k = 0.5f / 3.0f;
    // The first control point uses the last point as its predecessor.
    expectPoint(fig.points()[1], {k * (pts[1].x - pts[3].x), k * (pts[1].y - pts[3].y)});
    EXPECT_TRUE(closedAt(fig, 12));
    // A square's closed spline bulges out between its corners: the left side's controls lie
    // 100/6 out, and the curve reaches three quarters of that.
    const RectF b = path.figures()[1].bounds();
    EXPECT_NEAR(b.x, -12.5f, 1e-3f);
}

TEST(PathTest, LinesContinueTheOpenFigureAndClosedShapesStandApart) {
    Path path;
    path.addLine({0, 0}, {10, 0});
    path.addLine({10, 0}, {10, 10});  // same point: no joining line
    path.addLine({20, 10}, {20, 20}); // gap: joined by a line
    EXPECT_EQ(path.figureCount(), 1);
    EXPECT_EQ(path.pointCount(), 5);
    path.addRectangle({50, 50, 10, 10});
    path.addLine({0, 40}, {5, 40}); // after a closed shape a new figure begins
    path.startFigure();
    path.addLine({0, 60}, {5, 60});
    path.closeFigure();
    ASSERT_EQ(path.figureCount(), 4);
    Path joined;
    joined.addPath(path); // keeps the other path's figures apart
    joined.addLine({30, 0}, {40, 0});
    EXPECT_EQ(joined.figureCount(), 5);

    const auto figures = path.figures();
    EXPECT_EQ(figures[0].pointCount(), 5);
    EXPECT_EQ(figures[1].pointCount(), 4);
    EXPECT_TRUE(closedAt(figures[1], 3));
    EXPECT_FALSE(closedAt(figures[2], 1));
    EXPECT_TRUE(closedAt(figures[3], 1));
    // Walking the figures one by one gives the same figures, then stops.
    PathIterator walker(path);
    for (const Path& figure : figures) {
        ASSERT_TRUE(walker.next());
        EXPECT_TRUE(std::ranges::equal(walker.figure().points(), figure.points()));
        EXPECT_TRUE(std::ranges::equal(walker.figure().types(), figure.types()));
    }
    EXPECT_FALSE(walker.next());
    EXPECT_TRUE(walker.figure().empty());
    // Taken several at a time: the figures in order, as one path each time, the last time
    // only what is left.
    walker.restart(path);
    ASSERT_TRUE(walker.next(3));
    EXPECT_EQ(walker.figure().figureCount(), 3);
    EXPECT_EQ(walker.figure().pointCount(), 11);
    EXPECT_TRUE(closedAt(walker.figure(), 8));
    ASSERT_TRUE(walker.next(3));
    EXPECT_TRUE(std::ranges::equal(walker.figure().points(), figures[3].points()));
    EXPECT_TRUE(std::ranges::equal(walker.figure().types(), figures[3].types()));
    EXPECT_FALSE(walker.next(3));
    EXPECT_TRUE(walker.figure().empty());
    // Split into paths kept from a bigger outline: the same figures, nothing of the old ones
    // (their points, or their bounds once asked for).
    std::vector<Path> kept = joined.figures();
    for (const Path& old : kept)
        (void)old.bounds();
    path.figures(kept);
    ASSERT_EQ(kept.size(), figures.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_TRUE(std::ranges::equal(kept[i].points(), figures[i].points()));
        EXPECT_TRUE(std::ranges::equal(kept[i].types(), figures[i].types()));
        EXPECT_EQ(kept[i].bounds(), figures[i].bounds());
    }

    const auto polygons = path.flatten();
    ASSERT_EQ(polygons.size(), 4u);
    EXPECT_FALSE(polygons[0].closed);
    EXPECT_TRUE(polygons[1].closed);
    EXPECT_EQ(polygons[2].points.size(), 2u);
}

TEST(PathTest, RejectsTooFewPointsWithoutChangingThePath) {
    Path path;
    EXPECT_EQ(path.addLines({}), Status::InvalidParameter);
    const std::array<PointF, 1> one{PointF{1, 1}};
    EXPECT_EQ(path.addCurve(one), Status::InvalidParameter);
    const std::array<PointF, 2> two{PointF{1, 1}, PointF{2, 2}};
    EXPECT_EQ(path.addClosedCurve(two), Status::InvalidParameter);
    EXPECT_TRUE(path.empty());
    EXPECT_EQ(path.bounds(), RectF{});
    EXPECT_EQ(path.bounds(Pen(0xff000000, 4)), RectF{});
}

TEST(PathTest, EllipseStartsAtAngleZeroFlattensOntoItselfAndTransforms) {
    Path path;
    path.addEllipse({10, 20, 100, 50});
    ASSERT_EQ(path.pointCount(), 13);
    expectPoint(path.points()[0], {110, 45});
    expectPoint(path.points()[3], {60, 70}); // clockwise on screen: bottom comes next
    EXPECT_TRUE(contains({10, 20, 100, 50}, path.bounds()));
    EXPECT_TRUE(contains(path.bounds(), {10, 20, 100, 50}));
    // Flattened points stay on the ellipse.
    const auto polygons = path.flatten(0.05f);
    for (const PointF p : polygons.front().points) {
        const float u = (p.x - 60) / 50;
        const float v = (p.y - 45) / 25;
        EXPECT_NEAR(u * u + v * v, 1.0f, 0.01f);
    }
    EXPECT_LT(path.flatten(1.0f).front().points.size(), polygons.front().points.size());
    // A transform moves every point.
    path.transform(Matrix(2, 0, 0, 2, 5, 5));
    EXPECT_TRUE(contains({25, 45, 200, 100}, path.bounds()));
    EXPECT_TRUE(contains(path.bounds(), {25, 45, 200, 100}));
}

TEST(PathTest, BoundsFollowCurveExtremesNotControlPoints) {
    Path path;
    path.addBezier({0, 0}, {0, 100}, {100, 100}, {100, 0});
    const RectF b = path.bounds();
    EXPECT_NEAR(b.height, 75, 1e-3); // peak of the curve, not of its controls
    // Every flattened point lies inside, and the bounds are no larger than needed.
    float maxY = 0;
    const auto polygons = path.flatten(0.01f);
    for (const PointF p : polygons.front().points) {
        EXPECT_TRUE(contains(b, {p.x, p.y, 0, 0}));
        maxY = std::max(maxY, p.y);
    }
    EXPECT_NEAR(maxY, b.bottom(), 0.02f);
}

TEST(PathTest, PenBoundsAddReachAndAnAntiAliasingUnit) {
    Path path;
    path.addLine({10, 10}, {50, 10});
    Pen pen(0xff000000, 4);
    pen.setLineJoin(LineJoin::Round);
    const RectF plain = path.bounds(pen);
    EXPECT_NEAR(plain.x, 10 - 2 - 1, 1e-4);
    EXPECT_NEAR(plain.height, 2 * 3, 1e-4);
    pen.setEndCap(LineCap::ArrowAnchor);
    EXPECT_TRUE(contains(path.bounds(pen), {50 - 8, 10 - 4, 8, 8})); // the arrow head
}

TEST(PathTest, TextBecomesGlyphContoursOfPlausibleSize) {
    Path path;
    path.addString("Slow", 24, {100, 200});
    // S, l, the two contours of o, and w.
    EXPECT_EQ(path.figureCount(), 5);
    for (const Path& figure : path.figures())
        EXPECT_TRUE(closedAt(figure, figure.pointCount() - 1));
    const RectF b = path.bounds();
    // Bold capitals and ascenders stand about 0.72 em above a baseline 0.9 em below the top.
    EXPECT_NEAR(b.bottom(), 200 + 0.905f * 24, 0.6f);
    EXPECT_NEAR(b.height, 0.73f * 24, 1.5f);
    EXPECT_NEAR(b.width, 55, 5);
    EXPECT_NEAR(b.x, 100 + 24.0f / 6, 2);

    Path twoLines;
    twoLines.addString("Slow\nSlow", 24, {0, 0});
    EXPECT_EQ(twoLines.figureCount(), 10);
    EXPECT_GT(twoLines.bounds().height, 24);

    Path blank;
    blank.addString("  ", 24, {0, 0});
    EXPECT_TRUE(blank.empty());
}

// Bounds are kept between changes: after every kind of change they are those of the path
// as it now stands (a copy built afresh works them out anew).
TEST(PathTest, KeptBoundsFollowEveryChange) {
    const std::array<PointF, 3> far{PointF{500, 10}, PointF{520, -40}, PointF{560, 30}};
    Matrix shift;
    shift.translate(-300, 250);
    shift.rotate(30);
    const std::vector<std::pair<const char*, void (*)(Path&)>> changes = {
        {"line",
         [](Path& p) {
             p.addLine({-50, 0}, {0, 700});
         }},
        {"lines",
         [](Path& p) {
             p.addLines(std::array<PointF, 2>{PointF{900, 1}, PointF{0, -80}});
         }},
        {"bezier",
         [](Path& p) {
             p.addBezier({0, 0}, {0, 900}, {50, 900}, {50, 0});
         }},
        {"curve",
         [](Path& p) {
             p.addCurve(std::array<PointF, 3>{PointF{500, 10}, PointF{520, -40}, PointF{560, 30}});
         }},
        {"closed curve",
         [](Path& p) {
             p.addClosedCurve(std::array<PointF, 3>{PointF{-90, 10}, PointF{20, -40}, PointF{60, 30}});
         }},
        {"rectangle",
         [](Path& p) {
             p.addRectangle({-10, -10, 5, 400});
         }},
        {"ellipse",
         [](Path& p) {
             p.addEllipse({600, 600, 100, 40});
         }},
        {"pie",
         [](Path& p) {
             p.addPie({-200, 0, 100, 100}, 90, 180);
         }},
        {"text",
         [](Path& p) {
             p.addString("Hi", 80, {300, 300});
         }},
        {"path",
         [](Path& p) {
             Path other;
             other.addRectangle({1000, 1000, 1, 1});
             p.addPath(other);
         }},
        {"reset",
         [](Path& p) {
             p.reset();
             p.addRectangle({3, 4, 5, 6});
         }},
    };
    for (const auto& [name, change] : changes) {
        Path path;
        path.addLines(far);
        path.addEllipse({0, 0, 40, 40});
        (void)path.bounds();
        change(path);
        Path fresh;
        fresh.addPath(path);
        EXPECT_EQ(path.bounds(), fresh.bounds()) << name;
        path.transform(shift);
        fresh.reset();
        fresh.addPath(path);
        EXPECT_EQ(path.bounds(), fresh.bounds()) << name << ", then turned";
    }
}
