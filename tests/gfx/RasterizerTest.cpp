// The shapes painted without a scratch image (small solid shapes straight into the pixels,
// fading glows as one masked paint): the same pixels through any clip, and the right amount
// of paint.
#include "gfx/Rasterizer.h"
#include "../PixelCompare.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>
#include <string>
#include <vector>

using namespace gfx;

namespace {

struct Shape {
    std::string name;
    std::function<void(Graphics&)> draw;
};

// Round joins and a round end; the start as given.
Pen roundPen(Argb color, float width, LineCap start) {
    Pen pen(color, width);
    pen.setStartCap(start);
    pen.setEndCap(LineCap::Round);
    pen.setLineJoin(LineJoin::Round);
    return pen;
}

std::vector<Shape> shapes() {
    return {
        {"limb with round ends",
         [](Graphics& g) {
             Path p;
             const PointF limb[] = {{20.3f, 12.7f}, {27.1f, 30.2f}, {21.6f, 44.9f}};
             p.addLines(limb);
             g.drawPath(roundPen(0xff203040, 4, LineCap::Round), p);
         }},
        {"see-through curve with one flat end",
         [](Graphics& g) {
             Path p;
             const PointF tail[] = {{40, 40}, {48.5f, 12}, {55, 30}, {44, 22}};
             p.addCurve(tail);
             g.drawPath(roundPen(0x80c04020, 6, LineCap::Flat), p);
         }},
        {"hairline",
         [](Graphics& g) {
             Pen pen(0xff444444, 0);
             pen.setLineJoin(LineJoin::Round);
             g.drawLine(pen, {3.2f, 50.5f}, {58.7f, 41.1f});
         }},
        {"ellipse and pie",
         [](Graphics& g) {
             Path p;
             p.addEllipse({30.4f, 5.1f, 17.3f, 11.8f});
             p.addPie({5.5f, 20.2f, 30, 40}, -120, 60);
             g.fillPath(SolidBrush(0xff8040c0), p);
         }},
        {"fading glow",
         [](Graphics& g) {
             Path spindle;
             const PointF points[] = {{50, 8}, {12, 30}, {50, 52}, {58.5f, 30}};
             spindle.addClosedCurve(points, 0.5f);
             PathGradientBrush glow(spindle);
             glow.setCenterColor(0x80ffffff);
             glow.setSurroundColors({0x00ffffff});
             glow.setCenterPoint({50, 30});
             g.fillPath(glow, spindle);
         }},
        {"ring and a shape past the edge",
         [](Graphics& g) {
             Path ring(FillMode::Alternate);
             ring.addEllipse({-10.5f, 30.25f, 40, 40});
             ring.addEllipse({-2.5f, 38.25f, 24, 24});
             g.fillPath(SolidBrush(0xc020a060), ring);
         }},
    };
}

// Clip boxes that tile the world at odd places.
std::vector<std::vector<RectI>> tilings() {
    return {
        {{0, 0, 64, 64}},
        {{0, 0, 23, 64}, {23, 0, 41, 64}},
        {{0, 0, 64, 27}, {0, 27, 31, 37}, {31, 27, 33, 37}},
        {{0, 0, 21, 21}, {21, 0, 43, 21}, {0, 21, 64, 2}, {0, 23, 40, 41}, {40, 23, 24, 41}},
    };
}

long long paintedPixels(const Surface& s, Argb background) {
    long long n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += s.pixel(x, y) != background;
    return n;
}

} // namespace

TEST(RasterizerTest, AShapeRepaintedThroughAnyTilingOfClipsMatchesOneWholeDrawing) {
    constexpr Argb kBackground = 0xff102030;
    for (const float scale : {1.0f, 2.5f, 4.8f}) {
        const int size = static_cast<int>(64 * scale);
        for (const Shape& shape : shapes()) {
            Surface whole(size, size);
            Graphics wg(whole);
            wg.clear(kBackground);
            wg.scaleTransform(scale, scale);
            shape.draw(wg);
            wg.flush();
            ASSERT_GT(paintedPixels(whole, kBackground), 20) << shape.name << " at " << scale;

            Surface blank(size, size);
            blank.fill(kBackground);
            for (const std::vector<RectI>& tiles : tilings()) {
                Surface pieces(size, size);
                Graphics pg(pieces);
                pg.scaleTransform(scale, scale);
                // As the renderer does: tiles snapped out to whole pixels may share some,
                // so each starts again from the background.
                for (const RectI& tile : tiles) {
                    pg.setClip(tile, CombineMode::Replace);
                    pg.flush();
                    for (const RectI& device : pg.clipRects())
                        pieces.copyRect(blank, device);
                    shape.draw(pg);
                }
                pg.flush();
                EXPECT_EQ(differingPixels(whole, pieces), 0)
                    << shape.name << " at " << scale << " through " << tiles.size() << " clips";
            }
        }
    }
}

TEST(RasterizerTest, StrokesAndFillsLayDownTheirArea) {
    // Ink: the sum of every pixel's coverage, read back from a white-on-black drawing.
    const auto ink = [](const std::function<void(Graphics&)>& draw) {
        Surface s(80, 40);
        Graphics g(s);
        g.clear(0xff000000);
        draw(g);
        g.flush();
        double total = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                total += (s.pixel(x, y) & 0xff) / 255.0;
        return total;
    };
    const auto line = [](LineCap start, LineCap end, float width) {
        return [=](Graphics& g) {
            Pen pen(0xffffffff, width);
            pen.setStartCap(start);
            pen.setEndCap(end);
            pen.setLineJoin(LineJoin::Round);
            g.drawLine(pen, {10.3f, 20.6f}, {60.3f, 20.6f});
        };
    };
    const double pi = std::numbers::pi;
    struct Case {
        std::string name;
        std::function<void(Graphics&)> draw;
        double area;
    } cases[] = {
        {"flat ends", line(LineCap::Flat, LineCap::Flat, 4), 50 * 4},
        {"round ends", line(LineCap::Round, LineCap::Round, 4), 50 * 4 + pi * 4},
        {"one round end", line(LineCap::Flat, LineCap::Round, 4), 50 * 4 + pi * 2},
        {"hairline", line(LineCap::Flat, LineCap::Flat, 0), 50},
        {"rectangle off the grid",
         [](Graphics& g) {
             g.fillRectangle(SolidBrush(0xffffffff), {5.25f, 3.5f, 30.5f, 20.25f});
         },
         30.5 * 20.25},
        {"ellipse",
         [](Graphics& g) {
             g.fillEllipse(SolidBrush(0xffffffff), {40.2f, 5.7f, 30, 24});
         },
         pi * 15 * 12},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ink(c.draw), c.area, c.area * 0.01 + 0.5) << c.name;
}

TEST(RasterizerTest, PaintsOnlyInsideClipBoxesWithArea) {
    constexpr Argb kBackground = 0xff102030;
    constexpr int kSize = 40;
    Rasterizer shape;
    const PointF diamond[] = {{20.5f, -6}, {47, 20.5f}, {20.5f, 46}, {-7, 20.5f}};
    const auto paint = [&](std::span<const RectI> clip, bool unlimited) {
        Surface s(kSize, kSize);
        s.fill(kBackground);
        shape.reset();
        shape.addPolygon(diamond);
        shape.paint(s, clip, unlimited, Rasterizer::FillRule::NonZero, 0xc0e0a040);
        return s;
    };
    const Surface whole = paint({}, true);
    Surface blank(kSize, kSize);
    blank.fill(kBackground);
    ASSERT_GT(differingPixels(whole, blank), kSize * kSize / 2);
    const struct {
        const char* name;
        std::vector<RectI> clip;
    } cases[] = {
        {"nothing", {}},
        {"boxes without area", {{5, 5, 0, 9}, {5, 5, 9, -3}, {-9, -9, -4, -4}, {}}},
        {"boxes off the surface", {{-30, 5, 20, 20}, {kSize, 0, 9, kSize}, {0, kSize + 2, kSize, 5}}},
        {"boxes across its edges", {{-5, -5, 12, 12}, {33, 30, 20, 20}}},
        {"apart, with empty ones between", {{3, 30, 6, 4}, {}, {25, 2, 5, 30}, {8, 8, -2, 5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Surface clipped = paint(c.clip, false);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const bool in = std::any_of(c.clip.begin(), c.clip.end(), [&](const RectI& r) {
                    return !r.isEmpty() && x >= r.x && x < r.right() && y >= r.y && y < r.bottom();
                });
                ASSERT_EQ(clipped.pixel(x, y), in ? whole.pixel(x, y) : kBackground) << x << "," << y;
            }
        }
    }
}
