#include "gfx/Region.h"
#include "gfx/Matrix.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

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

// A figure's outline is rebuilt in place every step: whatever it held before (more figures,
// another fill rule, nothing) must leave no trace in what the next outline gives.
TEST(RegionTest, ResetInPlaceGivesWhatANewRegionGives) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<Path> outlines;
    Path ring(FillMode::Alternate); // nested figures: a hole only by the even-odd rule
    ring.addRectangle({0, 0, 10, 10});
    ring.addRectangle({2, 2, 6, 6});
    outlines.push_back(ring);
    Path blob(FillMode::Winding);
    blob.addEllipse({20, 0, 30, 12});
    blob.addRectangle({0, 0, 10, 10});
    blob.addRectangle({2, 2, 6, 6});
    outlines.push_back(blob);
    outlines.push_back(rectanglePath({-5, 40, 3, 3}));
    Path broken; // only the good figure counts
    broken.addLines(std::array<PointF, 3>{PointF{0, 0}, PointF{nan, 5}, PointF{0, 10}});
    broken.addRectangle({7, 7, 1, 1});
    outlines.push_back(broken);
    Path flat; // encloses nothing
    flat.addLine({0, 0}, {10, 10});
    outlines.push_back(flat);
    outlines.push_back(blob);

    Region inPlace;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        SCOPED_TRACE(i);
        inPlace.reset(outlines[i]);
        const Region fresh(outlines[i]);
        EXPECT_EQ(inPlace.isEmpty(), fresh.isEmpty());
        EXPECT_EQ(inPlace.bounds(), fresh.bounds());
        EXPECT_NEAR(inPlace.area(), fresh.area(), 1e-9);
        EXPECT_EQ(inPlace.contours(), fresh.contours());
        const Region probe(rectanglePath({4, 4, 30, 3}));
        EXPECT_EQ(inPlace.boundsWithin(probe), fresh.boundsWithin(probe));
    }
}

// The edge scan behind meets() and boundsWithin() must give the clipper's answers to the
// last fixed-point unit: outlines of every kind, against rectangles that touch them, miss
// them by a hair, graze a vertex, cut them as a climber's band does or hold them whole.
TEST(RegionTest, EdgeScanAnswersAsTheClipperDoes) {
    struct Shape {
        const char* name;
        Path path;
    };
    std::vector<Shape> shapes;
    const auto polygon = [&](const char* name, std::initializer_list<PointF> points, float turn = 0) {
        Path p;
        p.addLines(std::vector<PointF>(points));
        Matrix m;
        m.translate(300, 200);
        m.rotate(turn);
        p.transform(m);
        shapes.push_back({name, p});
    };
    polygon("slab", {{0, 0}, {200, 0}, {200, 10}, {0, 10}});
    polygon("floor with a ramp", {{0, 0}, {400, 0}, {470, 90}, {460, 90}, {400, 10}, {0, 10}, {-20, 17}});
    polygon("roof", {{0, 60}, {120, 0}, {240, 60}, {230, 65}, {120, 12}, {10, 65}});
    polygon("turned slab", {{0, 0}, {200, 0}, {200, 10}, {0, 10}}, 33);
    polygon("bow tie", {{0, 0}, {100, 100}, {100, 0}, {0, 100}});
    Path trunk(FillMode::Winding);
    const std::array<PointF, 8> trunkPoints{
        {{300, 400}, {305, 300}, {302, 200}, {315, 100}, {340, 100}, {345, 250}, {350, 400}, {300, 400}}};
    trunk.addCurve(trunkPoints);
    shapes.push_back({"trunk", trunk});
    Path ladder; // rails with rungs inside, as a ladder's outline is
    ladder.addRectangle({450, 250, 20, 175});
    for (int i = 1; i < 11; ++i)
        ladder.addRectangle({454, 425 - 15.0f * static_cast<float>(i), 12, 1});
    shapes.push_back({"ladder", ladder});
    Path limbs(FillMode::Winding);
    limbs.addEllipse({380, 180, 40, 60});
    limbs.addRectangle({395, 200, 10, 80});
    shapes.push_back({"overlapping limbs", limbs});

    std::mt19937 random(7);
    const auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    };
    int mismatches = 0;
    for (const Shape& shape : shapes) {
        const Region region(shape.path);
        const RectF b = region.bounds();
        std::vector<RectF> rects = {b,
                                    {b.x - 1, b.y - 1, b.width + 2, b.height + 2},
                                    {b.right(), b.y, 10, b.height}, // touching on the right
                                    {b.x - 10, b.y, 10, b.height},  // and on the left
                                    {b.x, b.y - 10, b.width, 10},   // above
                                    {b.x + b.width / 3, b.y + b.height / 3, 0.5f, 0.5f}};
        for (const float hair : {0.0004f, 0.001f, 0.002f, 0.0035f, 0.006f, 0.1f}) {
            rects.push_back({b.right() - hair, b.y, 10, b.height});
            rects.push_back({b.x, b.y - 10 + hair, b.width, 10});
            rects.push_back({0, b.y + b.height / 2, 800, hair}); // a band thinner than the graze
        }
        for (int i = 0; i < 600; ++i) {
            // Bands as climbers cut them, boxes of a figure's size, and corners at a vertex's hair.
            const float y = uniform(b.y - 20, b.bottom() + 20);
            rects.push_back({0, y, 800, uniform(0.001f, 60)});
            rects.push_back({uniform(b.x - 20, b.right()), y, uniform(1, 40), uniform(1, 50)});
            const std::vector<std::vector<PointF>> outline = region.contours();
            const std::vector<PointF>& c = outline[static_cast<std::size_t>(i) % outline.size()];
            const PointF v = c[static_cast<std::size_t>(i * 7) % c.size()];
            rects.push_back({v.x + uniform(-0.005f, 0.005f), v.y + uniform(-0.005f, 0.005f), uniform(0, 20),
                             uniform(0, 20)});
            rects.push_back({0, v.y + uniform(-0.005f, 0.005f), 800, uniform(0.5f, 50)});
        }
        for (const RectF& r : rects) {
            Region clipped = region;
            clipped.intersect(r);
            if (region.meets(r) != !clipped.isEmpty() || region.boundsWithin(r) != clipped.bounds()) {
                if (++mismatches <= 5)
                    ADD_FAILURE() << shape.name << ": rectangle " << r.x << ", " << r.y << ", " << r.width
                                  << " x " << r.height;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// A long outline (a floor's) met by a small shape (a figure's) is cut down to what lies near
// the shape before the clipper sees it: the bounds of the intersection must be the clipper's
// own, for outlines that wind round a shape more than once, cross themselves, or hold it
// wholly inside.
TEST(RegionTest, BoundsWithinARegionAreTheWholeOutlinesIntersection) {
    struct Outline {
        const char* name;
        Path path;
    };
    std::vector<Outline> outlines;
    const auto polyline = [&](const char* name, const std::vector<PointF>& points, FillMode mode) {
        Path p(mode);
        p.addLines(points);
        outlines.push_back({name, p});
    };
    std::vector<PointF> wave; // a floor with a wavy top, as curves flatten
    for (int i = 0; i <= 80; ++i)
        wave.push_back(
            {100 + 5.0f * static_cast<float>(i), 300 + 6 * std::sin(0.4f * static_cast<float>(i))});
    wave.push_back({500, 340});
    wave.push_back({100, 340});
    polyline("wavy floor", wave, FillMode::Winding);
    std::vector<PointF> saw; // a saw blade whose teeth cross a figure's box one after the other
    for (int i = 0; i < 40; ++i) {
        saw.push_back({100 + 10.0f * static_cast<float>(i), 300});
        saw.push_back({105 + 10.0f * static_cast<float>(i), 260});
    }
    saw.push_back({500, 300});
    saw.push_back({500, 330});
    saw.push_back({100, 330});
    polyline("saw", saw, FillMode::Winding);
    polyline("flat slab", {{80, 300}, {520, 300}, {520, 310}, {80, 310}}, FillMode::Winding);
    polyline("roof", {{80, 330}, {300, 250}, {520, 330}, {520, 340}, {300, 262}, {80, 340}},
             FillMode::Winding);
    for (const FillMode mode : {FillMode::Winding, FillMode::Alternate}) {
        std::vector<PointF> spiral; // two turns and back: the middle is wound round twice
        for (int i = 0; i < 96; ++i) {
            const float a = static_cast<float>(i) * std::numbers::pi_v<float> / 24;
            const float r = 60 + 2.0f * static_cast<float>(i);
            spiral.push_back({300 + r * std::cos(a), 300 + r * std::sin(a)});
        }
        spiral.push_back({300 + 40, 300});
        polyline(mode == FillMode::Winding ? "spiral" : "spiral, even-odd", spiral, mode);
        std::vector<PointF> star; // crosses itself everywhere
        for (int i = 0; i < 35; ++i) {
            const float a = static_cast<float>(i * 16) * 2 * std::numbers::pi_v<float> / 35;
            star.push_back({300 + 180 * std::cos(a), 300 + 180 * std::sin(a)});
        }
        polyline(mode == FillMode::Winding ? "star" : "star, even-odd", star, mode);
    }

    std::mt19937 random(11);
    const auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    };
    int compared = 0, met = 0, mismatches = 0;
    for (const Outline& outline : outlines) {
        const Region floor(outline.path);
        const std::vector<std::vector<PointF>> contours = floor.contours();
        for (int i = 0; i < 400; ++i) {
            // A figure: legs and a body, anywhere over the outline, or with a foot on a vertex.
            PointF at{uniform(60, 540), uniform(60, 540)};
            if (i % 2 == 0) {
                const std::vector<PointF>& c = contours[static_cast<std::size_t>(i) % contours.size()];
                at = c[static_cast<std::size_t>(i * 7) % c.size()];
                at.y -= uniform(0, 3);
            }
            // Half the figures even-odd, as the game's are, half wound.
            Path figure(i % 4 < 2 ? FillMode::Alternate : FillMode::Winding);
            figure.addEllipse({at.x - 5, at.y - 40, 10, 10});
            figure.addRectangle({at.x - 4, at.y - 30, 8, uniform(10, 25)});
            figure.startFigure();
            figure.addLines(std::vector<PointF>{{at.x - 3, at.y - 12},
                                                {at.x - 6 + uniform(-2, 2), at.y},
                                                {at.x - 4, at.y},
                                                {at.x, at.y - 10}});
            if (i % 8 < 4) { // a tail drawn there and back, as limbs of a path may be
                const PointF tip{at.x + 7, at.y - uniform(-1, 3)};
                figure.startFigure();
                figure.addLines(std::vector<PointF>{{at.x + 4, at.y - 20}, tip, {at.x + 9, at.y - 8}, tip});
            }
            figure.startFigure(); // a second leg, stepping out
            figure.addLines(std::vector<PointF>{{at.x + 2, at.y - 12},
                                                {at.x + 6 + uniform(-2, 2), at.y - uniform(0, 4)},
                                                {at.x + 1, at.y - 9}});
            const Region body(figure);
            Region common = floor;
            common.intersect(body);
            const RectF expected = common.bounds();
            ++compared;
            met += expected.height > 0 ? 1 : 0;
            if (floor.boundsWithin(body) != expected && ++mismatches <= 5)
                ADD_FAILURE() << outline.name << ": figure at " << at.x << ", " << at.y;
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << compared;
    EXPECT_GT(met, compared / 3) << "the figures did meet the outlines";
}
