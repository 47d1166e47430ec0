#include "gfx/Graphics.h"
#include "../PixelCompare.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

using namespace gfx;

namespace {

constexpr Argb kBackground = 0xff102030;

std::uint32_t alpha(std::uint32_t px) {
    return px >> 24;
}

// Every painted pixel of a transparent surface must lie inside the device rectangle
// that the world bounds cover at this scale.
void expectPaintInside(const Surface& s, RectF world, float scale, const std::string& what) {
    const float left = world.x * scale;
    const float top = world.y * scale;
    const float right = world.right() * scale;
    const float bottom = world.bottom() * scale;
    int painted = 0;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (alpha(s.pixel(x, y)) == 0)
                continue;
            ++painted;
            const bool inside = x >= std::floor(left) && x + 1 <= std::ceil(right) && y >= std::floor(top) &&
                                y + 1 <= std::ceil(bottom);
            ASSERT_TRUE(inside) << what << ": pixel " << x << "," << y << " outside bounds at scale "
                                << scale;
        }
    }
    EXPECT_GT(painted, 0) << what;
}

Path sampleSpline() {
    Path path;
    const std::array<PointF, 5> pts{PointF{20, 40}, PointF{45, 12}, PointF{60, 70}, PointF{85, 30},
                                    PointF{70, 20}};
    path.addCurve(pts);
    return path;
}

} // namespace

TEST(GraphicsTest, PenBoundsHoldEveryPaintedPixelAtGameScales) {
    const std::array<LineCap, 4> caps{LineCap::Flat, LineCap::Round, LineCap::RoundAnchor,
                                      LineCap::ArrowAnchor};
    for (const float scale : {1.0f, 4.8f}) {
        for (const LineCap cap : caps) {
            for (const float width : {0.0f, 1.0f, 3.0f}) {
                for (const LineJoin join : {LineJoin::Miter, LineJoin::Round}) {
                    Pen pen(0xffffffff, width);
                    pen.setStartCap(cap);
                    pen.setEndCap(cap == LineCap::Flat ? LineCap::ArrowAnchor : cap);
                    pen.setLineJoin(join);
                    Path path = sampleSpline();
                    // A sharp corner tests the miter spike.
                    const std::array<PointF, 3> spike{PointF{20, 80}, PointF{50, 84}, PointF{20, 88}};
                    path.startFigure();
                    path.addLines(spike);
                    path.addRectangle({30, 95, 20, 5});

                    Surface s(static_cast<int>(130 * scale), static_cast<int>(130 * scale));
                    Graphics g(s);
                    g.clear(0);
                    g.scaleTransform(scale, scale);
                    g.translateTransform(10, 10);
                    g.drawPath(pen, path);
                    RectF b = path.bounds(pen);
                    b.x += 10;
                    b.y += 10;
                    expectPaintInside(s, b, scale,
                                      "cap " + std::to_string(static_cast<int>(cap)) + " width " +
                                          std::to_string(width));
                    if (HasFatalFailure())
                        return;
                }
            }
        }
    }
}

TEST(GraphicsTest, ClipSnapsOutwardToWholeDevicePixels) {
    Surface s(60, 60);
    Graphics g(s);
    g.clear(kBackground);
    g.scaleTransform(1.25f, 1.25f);
    g.setClip({10, 10, 20, 20}, CombineMode::Replace); // device 12.5 .. 37.5
    EXPECT_TRUE(g.hasClip());
    ASSERT_EQ(g.clipRects().size(), 1u);
    EXPECT_EQ(g.clipRects()[0], (RectI{12, 12, 26, 26}));
    g.fillRectangle(SolidBrush(0xffff0000), {0, 0, 100, 100});
    // Edge pixels are replaced wholly, never blended with what was there.
    EXPECT_EQ(s.pixel(12, 20), 0xffff0000u);
    EXPECT_EQ(s.pixel(37, 37), 0xffff0000u);
    EXPECT_EQ(s.pixel(11, 20), kBackground);
    EXPECT_EQ(s.pixel(38, 20), kBackground);
    EXPECT_EQ(s.pixel(20, 38), kBackground);
    // Clearing ignores both the clip and the transform.
    g.clear(0xff445566);
    EXPECT_EQ(s.pixel(0, 0), 0xff445566u);
    EXPECT_EQ(s.pixel(59, 59), 0xff445566u);
}

TEST(GraphicsTest, ClipRectanglesUniteAndExcludeInsideAContainer) {
    Surface s(100, 40);
    Graphics g(s);
    g.clear(kBackground);
    g.setClip({0, 0, 20, 40}, CombineMode::Replace);
    g.setClip({60, 0, 40, 40}, CombineMode::Union);
    const int container = g.beginContainer();
    g.setClip({70, 0, 10, 40}, CombineMode::Exclude); // inside: everything but the column
    g.fillRectangle(SolidBrush(0xff00ff00), {0, 0, 100, 40});
    g.endContainer(container);
    EXPECT_EQ(s.pixel(5, 5), 0xff00ff00u);
    EXPECT_EQ(s.pixel(30, 5), kBackground); // outside the union
    EXPECT_EQ(s.pixel(65, 5), 0xff00ff00u);
    EXPECT_EQ(s.pixel(75, 5), kBackground); // excluded
    EXPECT_EQ(s.pixel(85, 5), 0xff00ff00u);

    // The container restored the union clip: the excluded column can be painted again,
    // the gap between the rectangles still cannot.
    g.fillRectangle(SolidBrush(0xff0000ff), {0, 0, 100, 40});
    EXPECT_EQ(s.pixel(75, 5), 0xff0000ffu);
    EXPECT_EQ(s.pixel(30, 5), kBackground);

    g.resetClip();
    EXPECT_FALSE(g.hasClip());
    g.endContainer(7);
    EXPECT_EQ(g.lastStatus(), Status::InvalidParameter);
}

// The dirty rectangles of a frame become the clip in one go: the very boxes a Replace and a
// run of Unions leave, at the world's own scale and at one that snaps them apart.
TEST(GraphicsTest, ClipOfManyRectanglesIsTheirUnionBoxForBox) {
    const std::vector<std::vector<RectI>> cases = {
        {{10, 10, 20, 20}},
        {{0, 0, 20, 40}, {60, 0, 40, 40}},                     // apart
        {{10, 10, 30, 20}, {25, 15, 30, 30}, {5, 40, 10, 10}}, // overlapping, stepped
        {{10, 10, 20, 20}, {30, 10, 20, 20}, {10, 30, 40, 5}}, // touching
        {{10, 10, 0, 20}, {40, 40, 10, 10}, {20, 20, 10, 0}},  // empty ones among them
        {{5, 5, 50, 50}, {10, 10, 5, 5}},                      // one inside another
    };
    for (const float scale : {1.0f, 1.37f}) {
        for (const std::vector<RectI>& rects : cases) {
            Surface s(120, 120);
            Graphics oneByOne(s), atOnce(s);
            oneByOne.scaleTransform(scale, scale);
            atOnce.scaleTransform(scale, scale);
            for (std::size_t i = 0; i < rects.size(); ++i)
                oneByOne.setClip(rects[i], i == 0 ? CombineMode::Replace : CombineMode::Union);
            atOnce.setClip(rects);
            EXPECT_EQ(atOnce.clipRects(), oneByOne.clipRects()) << rects.size() << " rectangles at " << scale;
        }
    }
}

TEST(GraphicsTest, ContainerTransformIsRelativeSoAppendPlacesBeforeTheWindowScale) {
    Surface s(200, 200);
    Graphics g(s);
    g.clear(0);
    g.scaleTransform(2, 2);
    const int container = g.beginContainer();
    EXPECT_TRUE(g.transform().isIdentity());
    Matrix placement;
    placement.translate(30, 40);
    g.multiplyTransform(placement, MatrixOrder::Append);
    g.fillRectangle(SolidBrush(0xffffffff), {0, 0, 10, 10}); // world (30, 40) .. (40, 50)
    g.endContainer(container);
    EXPECT_EQ(g.transform(), Matrix(2, 0, 0, 2, 0, 0));
    EXPECT_EQ(alpha(s.pixel(61, 81)), 0xffu);
    EXPECT_EQ(alpha(s.pixel(78, 98)), 0xffu);
    EXPECT_EQ(alpha(s.pixel(59, 81)), 0u);
    EXPECT_EQ(alpha(s.pixel(81, 81)), 0u);
}

TEST(GraphicsTest, InsetPenPaintsOnlyInsideClosedFigures) {
    Path shapes;
    shapes.addRectangle({20, 20, 40, 30});
    shapes.addEllipse({70, 20, 30, 30});
    Surface inset(120, 80);
    Surface centred(120, 80);
    for (Surface* s : {&inset, &centred}) {
        Graphics g(*s);
        g.clear(0);
        Pen pen(0xffffffff, 6);
        if (s == &inset)
            pen.setAlignment(PenAlignment::Inset);
        g.drawPath(pen, shapes);
    }
    // Nothing outside the rectangle, all of its inner band painted.
    for (int x = 0; x < 120; ++x)
        EXPECT_EQ(alpha(inset.pixel(x, 19)) + alpha(inset.pixel(x, 50)), 0u) << x;
    EXPECT_EQ(alpha(inset.pixel(25, 35)), 0xffu);
    EXPECT_EQ(alpha(inset.pixel(27, 35)), 0u);
    EXPECT_EQ(alpha(inset.pixel(17, 35)), 0u);
    EXPECT_EQ(alpha(inset.pixel(85, 17)), 0u); // above the circle
    EXPECT_EQ(alpha(inset.pixel(85, 22)), 0xffu);
    EXPECT_EQ(alpha(centred.pixel(17, 35)), 0xffu);
}

TEST(GraphicsTest, SeeThroughPenWithCapShapesBlendsOnce) {
    Surface s(100, 40);
    Graphics g(s);
    g.clear(0xff000000);
    Pen pen(0x80ffffff, 4);
    pen.setStartCap(LineCap::RoundAnchor);
    pen.setEndCap(LineCap::ArrowAnchor);
    g.drawLine(pen, {20, 20}, {80, 20});
    const std::uint32_t line = s.pixel(50, 20);
    EXPECT_NEAR(static_cast<int>(line & 0xff), 0x80, 2);
    EXPECT_EQ(s.pixel(21, 20), line);        // disc over the line: no darker seam
    EXPECT_EQ(s.pixel(74, 20), line);        // arrow head over the line
    EXPECT_EQ(s.pixel(20, 22), line);        // the disc reaches a pen width from the end
    EXPECT_EQ(s.pixel(73, 22), line);        // the head is wider than the line
    EXPECT_EQ(s.pixel(82, 20), 0xff000000u); // the tip is the end point
}

TEST(GraphicsTest, FillModesAndTranslucentColoursBlend) {
    Path ring(FillMode::Alternate);
    ring.addRectangle({0, 0, 30, 30});
    ring.addRectangle({10, 10, 10, 10});
    Surface s(40, 40);
    Graphics g(s);
    g.clear(0xff000000);
    g.fillPath(SolidBrush(0x80ff0000), ring);
    EXPECT_EQ(s.pixel(15, 15), 0xff000000u); // the hole
    const std::uint32_t blended = s.pixel(5, 5);
    EXPECT_EQ(alpha(blended), 0xffu);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xff), 0x80, 1);
    EXPECT_EQ(blended & 0xffff, 0u);

    Path solid(FillMode::Winding);
    solid.addRectangle({0, 0, 30, 30});
    solid.addRectangle({10, 10, 10, 10});
    g.fillPath(SolidBrush(0xff00ff00), solid);
    EXPECT_EQ(s.pixel(15, 15), 0xff00ff00u);
}

TEST(GraphicsTest, PathGradientRunsFromCentreColourToSurroundColour) {
    Path disc;
    disc.addEllipse({0, 0, 100, 100});
    PathGradientBrush brush(disc);
    EXPECT_NEAR(brush.centerPoint().x, 50, 0.1f);
    brush.setCenterColor(0xffffffff);
    EXPECT_EQ(brush.setSurroundColors({0xff000000}), Status::Ok);
    EXPECT_EQ(brush.setSurroundColors(std::vector<Argb>(10000, 0xff00ff00)), Status::InvalidParameter);
    EXPECT_EQ(brush.surroundColors().size(), 1u);

    for (const float scale : {1.0f, 2.0f}) {
        const int size = static_cast<int>(120 * scale);
        Surface s(size, size);
        Graphics g(s);
        g.clear(0);
        g.scaleTransform(scale, scale);
        g.fillPath(brush, disc);
        const auto at = [&](float x, float y) {
            return s.pixel(static_cast<int>(x * scale), static_cast<int>(y * scale));
        };
        const std::uint32_t centre = at(50, 50);
        EXPECT_EQ(alpha(centre), 0xffu);
        EXPECT_GT(centre & 0xff, 0xf0u) << "scale " << scale;
        const std::uint32_t half = at(75, 50);
        EXPECT_NEAR(static_cast<int>(half & 0xff), 0x80, 8) << "scale " << scale;
        EXPECT_LT(at(98.5f, 50) & 0xff, 0x10u);
        EXPECT_EQ(at(5, 5), 0u); // outside the disc nothing is painted
    }
}

TEST(GraphicsTest, ReusedGlowMaskMatchesAFreshPaint) {
    Path disc;
    disc.addEllipse({0, 0, 50, 50});
    PathGradientBrush brush(disc);
    brush.setCenterColor(0xffffffff);
    brush.setSurroundColors({0xff000000});
    const auto paintAt = [&](Graphics& g, float x) {
        const int c = g.beginContainer();
        Matrix placement;
        placement.translate(x, 10);
        g.multiplyTransform(placement, MatrixOrder::Append);
        g.fillEllipse(brush, {0, 0, 50, 50});
        g.endContainer(c);
    };
    Surface reused(300, 150);
    Graphics g(reused);
    g.clear(0xff808080);
    g.scaleTransform(2.3f, 2.3f);
    paintAt(g, 3.1f); // makes the mask
    g.clear(0xff808080);
    paintAt(g, 41.7f); // moved: reuses it at another whole-pixel place

    Surface fresh(300, 150);
    Graphics f(fresh);
    f.clear(0xff808080);
    f.scaleTransform(2.3f, 2.3f);
    paintAt(f, 41.7f);
    // Only the quarter-pixel placement may differ, and only slightly.
    EXPECT_LE(largestDifference(reused, fresh), 12);
    EXPECT_LT(differingPixels(reused, fresh), 150 * 300 / 4);
    EXPECT_EQ(reused.pixel(5, 5), 0xff808080u);
}

TEST(GraphicsTest, PathGradientPaintsOnlyWhereBrushAndPathOverlap) {
    Path small;
    small.addEllipse({20, 20, 40, 40});
    Path large;
    large.addRectangle({0, 0, 100, 100});
    for (const Argb centre : {0xffffffffu, 0x80ff0000u}) {
        PathGradientBrush brush(small);
        brush.setCenterColor(centre);
        brush.setSurroundColors({0x800000ff});
        Surface s(100, 100);
        Graphics g(s);
        g.clear(0);
        g.fillPath(brush, large);
        EXPECT_EQ(s.pixel(10, 10), 0u);
        EXPECT_EQ(s.pixel(90, 40), 0u);
        EXPECT_NE(alpha(s.pixel(40, 40)), 0u);
        // Translucent centre and surround blend with each other, not twice over the background.
        if (alphaOf(centre) != 0xff) {
            EXPECT_NEAR(static_cast<int>(alpha(s.pixel(40, 40))), 0x80, 3);
        }
    }
}

TEST(GraphicsTest, ZeroScaleAndBrokenCoordinatesDoNotStopLaterDrawing) {
    Surface s(40, 40);
    Graphics g(s);
    g.clear(0);
    // A minimised window gives a scale of zero for a while.
    g.scaleTransform(0, 0);
    g.fillRectangle(SolidBrush(0xffffffff), {0, 0, 40, 40});
    g.setClip({0, 0, 40, 40}, CombineMode::Replace);
    g.resetClip();
    g.resetTransform();
    EXPECT_EQ(s.pixel(5, 5), 0u);

    const float nan = std::nanf("");
    const float inf = HUGE_VALF;
    Path broken;
    broken.addLine({nan, 0}, {10, inf});
    broken.addEllipse({nan, nan, 10, 10});
    g.drawPath(Pen(0xffffffff, 2), broken);
    g.fillPath(SolidBrush(0xffffffff), broken);
    PathGradientBrush brokenBrush(broken);
    g.fillPath(brokenBrush, broken);

    g.fillRectangle(SolidBrush(0xff00ff00), {0, 0, 40, 40});
    EXPECT_EQ(s.pixel(5, 5), 0xff00ff00u);

    Surface none;
    Graphics invalid(none);
    invalid.fillRectangle(SolidBrush(), {0, 0, 1, 1});
    EXPECT_NE(invalid.lastStatus(), Status::Ok);
}
