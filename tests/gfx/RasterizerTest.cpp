// The shapes painted without a scratch image (small solid shapes straight into the pixels,
// fading glows as one masked paint): the same pixels through any clip, and the right amount
// of paint.
#include "gfx/Rasterizer.h"
#include "../PixelCompare.h"
#include "gfx/Graphics.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
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

namespace {

// A fixed assortment of what the game paints straight into the pixels, at odd sub-pixel
// places: limbs with round ends, socks with one flat end, whiskers and stripes thinner than a
// pixel, closed outlines, dots, lines along the grid, repeated points, and filled outlines by
// either rule; opaque and see-through, through no clip, one box or several.
struct RasterCase {
    std::vector<PointF> points;
    float halfWidth = 0; // 0: a fill
    bool roundStart = true;
    bool roundEnd = true;
    Rasterizer::FillRule rule = Rasterizer::FillRule::NonZero;
    Argb color = 0;
    std::vector<RectI> clip; // empty: none
};

std::vector<RasterCase> rasterCases() {
    std::uint64_t state = 0x2545f4914f6cdd1dULL;
    const auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 40); // 24 bits
    };
    const auto unit = [&] { return static_cast<float>(next()) / static_cast<float>(1 << 24); };
    std::vector<RasterCase> cases;
    for (int i = 0; i < 480; ++i) {
        RasterCase c;
        const int kind = i % 6;
        const PointF centre{16 + 32 * unit(), 16 + 32 * unit()};
        const int count = kind == 4 ? 5 + static_cast<int>(next() % 12) : 1 + static_cast<int>(next() % 5);
        for (int k = 0; k < count; ++k) {
            const float angle = 6.2831853f * static_cast<float>(k) / static_cast<float>(count);
            PointF p{centre.x + (8 + 14 * unit()) * std::cos(angle),
                     centre.y + (8 + 14 * unit()) * std::sin(angle)};
            if (kind == 5 && k > 0 && next() % 2 == 0)
                p = next() % 2 ? PointF{c.points.back().x, p.y} : PointF{p.x, c.points.back().y};
            if (kind == 5 && k > 0 && next() % 4 == 0)
                p = c.points.back();
            c.points.push_back(p);
        }
        switch (kind) {
        case 0: // limb
            c.halfWidth = 2;
            break;
        case 1: // sock
            c.halfWidth = 1.2f + 2.8f * unit();
            c.roundStart = false;
            break;
        case 2: // whisker or stripe
            c.halfWidth = 0.3f + 0.45f * unit();
            c.roundStart = c.roundEnd = next() % 2 == 0;
            break;
        case 3: // closed outline
            c.halfWidth = 0.5f + 2.5f * unit();
            c.points.push_back(c.points.front());
            break;
        case 4: // fill
            c.rule = next() % 2 ? Rasterizer::FillRule::EvenOdd : Rasterizer::FillRule::NonZero;
            break;
        default:
            c.halfWidth = 0.5f * static_cast<float>(1 + next() % 9);
            c.roundStart = next() % 2 == 0;
            c.roundEnd = next() % 2 == 0;
            break;
        }
        c.color = (i % 3 == 0 ? 0x60000000U : 0xff000000U) | (next() & 0xffffffU);
        if (i % 3 == 1)
            c.clip = {{static_cast<int>(next() % 40), static_cast<int>(next() % 40),
                       10 + static_cast<int>(next() % 30), 10 + static_cast<int>(next() % 30)}};
        if (i % 3 == 2)
            c.clip = {{0, 0, 64, 20}, {0, 20, 30, 44}, {30, 20, 34, 44}};
        cases.push_back(c);
    }
    return cases;
}

// Paints a case on a patterned background.
void paintCase(Rasterizer& r, Surface& s, const RasterCase& c) {
    for (int y = 0; y < s.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(s.data() + static_cast<std::ptrdiff_t>(y) * s.stride());
        for (int x = 0; x < s.width(); ++x)
            row[x] = 0xff000000U | static_cast<std::uint32_t>((x * 7919 + y * 104729) & 0xffffff);
    }
    s.markDirty();
    r.reset();
    if (c.halfWidth > 0)
        r.addPolyline(c.points, c.halfWidth, c.roundStart, c.roundEnd);
    else
        r.addPolygon(c.points);
    r.paint(s, c.clip, c.clip.empty(), c.rule, c.color);
}

} // namespace

TEST(RasterizerTest, PaintsExactlyThePixelsItAlwaysHas) {
    // The game's pictures, state dumps and recordings hold these pixels: a faster way of
    // working them out must not move a single one by a single level. The checksum is of the
    // pixels as the rasterizer painted them when the recordings were made, whether strokes'
    // rows are worked out eight pixels at a time (where the processor can) or four.
    for (const bool wide : {true, false}) {
        if (wide && !Rasterizer::wideRowsAvailable())
            continue;
        Rasterizer::allowWideRows(wide);
        std::uint64_t sum = 14695981039346656037ULL;
        Rasterizer r;
        Surface s(64, 64);
        for (const RasterCase& c : rasterCases()) {
            // Twice, the second time from what the rasterizer may have kept of the first.
            for (int twice = 0; twice < 2; ++twice) {
                paintCase(r, s, c);
                for (int y = 0; y < s.height(); ++y)
                    for (int x = 0; x < s.width(); ++x) {
                        sum ^= s.pixel(x, y);
                        sum *= 1099511628211ULL;
                    }
            }
        }
        EXPECT_EQ(sum, 0xd7cb439063ec6e6dULL) << (wide ? "eight" : "four") << " pixels at a time";
    }
    Rasterizer::allowWideRows(true);
}

TEST(RasterizerTest, AShapePaintedAgainLooksAsPaintedAfresh) {
    // One rasterizer keeps what it worked out for a shape; a fresh one each time keeps nothing.
    // Shapes that differ only a little (a point a hair away, another width, the other rule)
    // must never be taken for one another.
    const std::vector<RasterCase> cases = rasterCases();
    Rasterizer kept;
    Surface a(64, 64);
    Surface b(64, 64);
    for (std::size_t i = 0; i + 1 < cases.size(); i += 7) {
        RasterCase c = cases[i];
        for (int variant = 0; variant < 4; ++variant) {
            if (variant == 1)
                c.points.back().x = std::nextafter(c.points.back().x, 1e9f);
            if (variant == 2 && c.halfWidth > 0)
                c.halfWidth += 0.25f;
            if (variant == 2 && c.halfWidth == 0)
                c.rule = c.rule == Rasterizer::FillRule::NonZero ? Rasterizer::FillRule::EvenOdd
                                                                 : Rasterizer::FillRule::NonZero;
            if (variant == 3)
                c.clip = cases[i + 1].clip;
            for (int again = 0; again < 3; ++again) {
                Rasterizer fresh;
                paintCase(kept, a, c);
                paintCase(fresh, b, c);
                ASSERT_EQ(differingPixels(a, b), 0)
                    << "case " << i << " variant " << variant << " time " << again;
            }
        }
    }
}
