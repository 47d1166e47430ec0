// The game's own rasterizer held to Cairo: every shape it paints straight into the pixels
// must come out as Cairo paints it, but for the shading of edge pixels.
#include "gfx/Graphics.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

using namespace gfx;

namespace {

constexpr Argb kBackground = 0xff203040;
constexpr int kWorld = 64; // world units the shapes live in

struct Shape {
    std::string name;
    // Draws the shape with its points turned by the given angle about the world's centre.
    std::function<void(Graphics&, const Matrix& turn)> draw;
};

Pen pen(Argb color, float width, LineCap start, LineCap end) {
    Pen p(color, width);
    p.setStartCap(start);
    p.setEndCap(end);
    p.setLineJoin(LineJoin::Round);
    return p;
}

// The path that make adds to, stroked with the pen, turned.
Shape stroked(std::string name, std::function<void(Path&)> make, Pen p) {
    return {std::move(name), [make, p](Graphics& g, const Matrix& turn) {
                Path path;
                make(path);
                path.transform(turn);
                g.drawPath(p, path);
            }};
}

// A polyline stroked with the pen, turned.
Shape lines(std::string name, std::vector<PointF> points, Pen p) {
    const auto polyline = [points](Path& path) { path.addLines(points); };
    return stroked(std::move(name), polyline, std::move(p));
}

std::vector<Shape> shapes() {
    const LineCap flat = LineCap::Flat;
    const LineCap round = LineCap::Round;
    const auto tail = [](Path& p) {
        const PointF points[] = {{40, 40}, {48.5f, 12}, {55, 30}, {44, 22}};
        p.addCurve(points);
    };
    const auto outline = [](Path& p) { p.addEllipse({14.3f, 12.1f, 36.4f, 28.7f}); };
    std::vector<Shape> table = {
        lines("short first segment, flat ends", {{10, 15}, {12, 15}, {40, 15}, {44, 30}},
              pen(0xffffffff, 10, flat, flat)),
        lines("short last segment, flat ends", {{12, 40}, {42, 20}, {44, 21}},
              pen(0xffe0c080, 9, flat, flat)),
        lines("every segment shorter than the pen", {{20, 20}, {22, 21}, {23, 23}, {23.5f, 25}, {23, 27}},
              pen(0xffffffff, 8, flat, flat)),
        lines("sharp bend, round ends", {{8, 50}, {30, 10}, {52, 48}}, pen(0xff80ff80, 7, round, round)),
        lines("flat start, round end", {{8.3f, 30.6f}, {55.7f, 33.1f}}, pen(0xffffffff, 5, flat, round)),
        lines("thin zigzag", {{5, 40}, {15, 20}, {25, 40}, {35, 20}, {45, 40}, {55, 22}},
              pen(0xffffff80, 1, round, round)),
        lines("hairline", {{3.2f, 50.5f}, {58.7f, 41.1f}}, pen(0xffffffff, 0, flat, flat)),
        lines("see-through line crossing itself", {{10, 10}, {50, 50}, {50, 12}, {12, 52}},
              pen(0x90ff4040, 4, round, flat)),
        lines("hairpin with flat ends", {{15, 20}, {45, 20}, {46, 26}, {14, 28}},
              pen(0xffffffff, 6, flat, flat)),
        stroked("flat-ended curve", tail, pen(0xffc04020, 6, flat, flat)),
        stroked("round-ended curve", tail, pen(0xffc04020, 6, round, round)),
        stroked("closed outline", outline, pen(0xff40c0ff, 3, flat, flat)),
        {"ellipse and pie",
         [](Graphics& g, const Matrix& turn) {
             Path p;
             p.addEllipse({30.4f, 5.1f, 17.3f, 11.8f});
             p.addPie({5.5f, 20.2f, 30, 40}, -120, 60);
             p.transform(turn);
             g.fillPath(SolidBrush(0xff8040c0), p);
         }},
        {"ring, even-odd",
         [](Graphics& g, const Matrix& turn) {
             Path ring(FillMode::Alternate);
             ring.addEllipse({12.5f, 12.25f, 40, 40});
             ring.addEllipse({20.5f, 20.25f, 24, 24});
             ring.transform(turn);
             g.fillPath(SolidBrush(0xc020a060), ring);
         }},
        {"star, non-zero",
         [](Graphics& g, const Matrix& turn) {
             Path star(FillMode::Winding);
             std::vector<PointF> points;
             for (int i = 0; i < 5; ++i) {
                 const double a = i * 4 * std::numbers::pi / 5;
                 points.push_back(
                     {static_cast<float>(32 + 24 * std::sin(a)), static_cast<float>(32 - 24 * std::cos(a))});
             }
             star.addLines(points);
             star.closeFigure();
             star.transform(turn);
             g.fillPath(SolidBrush(0xffffd040), star);
         }},
        {"tiny sock",
         [](Graphics& g, const Matrix& turn) {
             Path p;
             p.addEllipse({30.2f, 30.7f, 2.6f, 1.7f});
             p.addRectangle({33.1f, 29.4f, 1.3f, 3.2f});
             p.transform(turn);
             g.fillPath(SolidBrush(0xffffffff), p);
         }},
    };
    return table;
}

struct Difference {
    int largest = 0;
    long long overSixteen = 0;
    long long overThirtyTwo = 0;
    long long painted = 0; // pixels either drawing changed
};

Difference compare(const Surface& fast, const Surface& cairo) {
    Difference d;
    for (int y = 0; y < fast.height(); ++y) {
        for (int x = 0; x < fast.width(); ++x) {
            const Argb p = fast.pixel(x, y);
            const Argb q = cairo.pixel(x, y);
            d.painted += p != kBackground || q != kBackground;
            int largest = 0;
            for (int shift = 0; shift < 32; shift += 8)
                largest = std::max(largest, std::abs(static_cast<int>((p >> shift) & 0xff) -
                                                     static_cast<int>((q >> shift) & 0xff)));
            d.largest = std::max(d.largest, largest);
            d.overSixteen += largest > 16;
            d.overThirtyTwo += largest > 32;
        }
    }
    return d;
}

Surface paint(const Shape& shape, float scale, const Matrix& turn, const std::vector<RectI>& clip,
              bool direct) {
    const int size = static_cast<int>(std::ceil(kWorld * scale));
    Surface s(size, size);
    Graphics g(s);
    g.setDirectShapes(direct);
    g.clear(kBackground);
    g.scaleTransform(scale, scale);
    for (std::size_t i = 0; i < clip.size(); ++i)
        g.setClip(clip[i], i == 0 ? CombineMode::Replace : CombineMode::Union);
    shape.draw(g, turn);
    g.flush();
    return s;
}

} // namespace

// Cairo is no exact reference itself: it samples 15 rows per pixel, so a flat edge's shading is
// off by up to 17 levels; past that a difference is the rasterizer's. Where two edges meet at
// an angle inside one pixel (the inside of a sharp bend, lines or contours crossing) the
// rasterizer keeps the larger of their shares, which leaves a few pixels up to a third too
// light; everywhere else it works out each pixel's exact share.
TEST(RasterizerReferenceTest, EveryShapePaintsAsCairoDoesButForEdgeShading) {
    const std::vector<std::vector<RectI>> clips = {
        {},
        {{0, 0, 29, 64}, {37, 17, 27, 30}},
        {{7, 9, 23, 23}},
    };
    int differing = 0;
    int cases = 0;
    for (const Shape& shape : shapes()) {
        for (const float scale : {1.0f, 1.7f, 2.5f, 3.6f, 5.0f}) {
            for (const float degrees : {0.0f, 27.0f, 90.0f, 213.5f}) {
                Matrix turn;
                turn.translate(-kWorld / 2.0f, -kWorld / 2.0f, MatrixOrder::Append);
                turn.rotate(degrees, MatrixOrder::Append);
                turn.translate(kWorld / 2.0f, kWorld / 2.0f, MatrixOrder::Append);
                for (std::size_t c = 0; c < clips.size(); ++c) {
                    const Surface fast = paint(shape, scale, turn, clips[c], true);
                    const Surface cairo = paint(shape, scale, turn, clips[c], false);
                    const Difference d = compare(fast, cairo);
                    ++cases;
                    differing += d.largest > 0;
                    const std::string where = shape.name + " at scale " + std::to_string(scale) +
                                              ", turned " + std::to_string(degrees) + ", clip " +
                                              std::to_string(c);
                    if (d.painted == 0)
                        continue; // the clip misses the turned shape
                    const long long picture = static_cast<long long>(fast.width()) * fast.height();
                    EXPECT_LE(d.largest, 80) << where;
                    EXPECT_LE(d.overThirtyTwo * 1000, picture * 3 / 2)
                        << where << ": " << d.overThirtyTwo << " pixels off by more than 32";
                    EXPECT_LT(d.overSixteen * 200, picture)
                        << where << ": " << d.overSixteen << " pixels off by more than 16";
                }
            }
        }
    }
    // Had the fast path not run, both pictures would be Cairo's and agree exactly.
    EXPECT_GT(differing * 2, cases);
}
