#include "gfx/Graphics.h"
#include "gfx/Region.h"
#include "gfx/Surface.h"

#include <benchmark/benchmark.h>

#include <array>

using namespace gfx;

namespace {

// A window's surface with the world scaled onto it, as the game paints. Scales are passed in
// tenths: 10 is the plain 800 x 584 window, 48 a 3840 x 2804 one.
struct ScaledWindow {
    explicit ScaledWindow(const benchmark::State& state)
        : scale(static_cast<float>(state.range(0)) / 10.0f),
          surface(static_cast<int>(800 * scale + 0.5f), static_cast<int>(584 * scale + 0.5f)), g(surface) {
        g.scaleTransform(scale, scale);
    }

    // Paints once an iteration; what Cairo still holds is flushed after the timing.
    template <typename Paint> void paintEach(benchmark::State& state, Paint paint) {
        for (auto _ : state)
            paint(g);
        g.flush();
    }

    float scale;
    Surface surface;
    Graphics g;
};

// A stick figure as the characters draw it: spline limbs, a head, a body line.
Path figurePath(float x, float y) {
    Path path;
    const std::array<PointF, 4> leftLeg{PointF{x, y}, PointF{x - 6, y + 12}, PointF{x - 4, y + 22},
                                        PointF{x - 9, y + 30}};
    const std::array<PointF, 4> rightLeg{PointF{x, y}, PointF{x + 5, y + 11}, PointF{x + 7, y + 21},
                                         PointF{x + 4, y + 30}};
    const std::array<PointF, 3> arms{PointF{x - 12, y - 12}, PointF{x, y - 18}, PointF{x + 12, y - 8}};
    path.addCurve(leftLeg);
    path.startFigure();
    path.addCurve(rightLeg);
    path.startFigure();
    path.addLine({x, y}, {x, y - 26});
    path.startFigure();
    path.addCurve(arms);
    path.addEllipse({x - 6, y - 40, 12, 14});
    return path;
}

Path edgeGlowPath() {
    Path path;
    const std::array<PointF, 4> pts{PointF{100, 300}, PointF{300, 290}, PointF{540, 300}, PointF{300, 310}};
    path.addClosedCurve(pts);
    return path;
}

void BM_FlattenSpline(benchmark::State& state) {
    const Path path = figurePath(400, 300);
    for (auto _ : state)
        benchmark::DoNotOptimize(path.flatten(0.1f));
}
BENCHMARK(BM_FlattenSpline);

// A path keeps its bounds until it changes: the transform (an identity) makes each
// iteration work them out anew, as a figure that moved does.
void BM_PathBoundsWithPen(benchmark::State& state) {
    Path path = figurePath(400, 300);
    Pen pen(0xff000000, 2);
    pen.setLineJoin(LineJoin::Round);
    const Matrix unchanged;
    for (auto _ : state) {
        path.transform(unchanged);
        benchmark::DoNotOptimize(path.bounds(pen));
    }
}
BENCHMARK(BM_PathBoundsWithPen);

// The collision pattern: a figure's region against a platform's rectangle.
void BM_RegionCollision(benchmark::State& state) {
    const Path path = figurePath(400, 300);
    const bool hit = state.range(0) != 0;
    const RectF platform = hit ? RectF{380, 320, 100, 20} : RectF{500, 320, 100, 20};
    for (auto _ : state) {
        Region region(path);
        region.intersect(platform);
        benchmark::DoNotOptimize(region.isEmpty());
    }
}
BENCHMARK(BM_RegionCollision)->Arg(0)->Arg(1);

void BM_RegionIntersectRegion(benchmark::State& state) {
    const Region a(figurePath(400, 300));
    const Region b(figurePath(405, 305));
    for (auto _ : state) {
        Region r = a;
        r.intersect(b);
        benchmark::DoNotOptimize(r.isEmpty());
    }
}
BENCHMARK(BM_RegionIntersectRegion);

void BM_StrokeFigure(benchmark::State& state) {
    const Path path = figurePath(400, 300);
    Pen pen(0xff000000, 2);
    pen.setLineJoin(LineJoin::Round);
    ScaledWindow(state).paintEach(state, [&](Graphics& g) { g.drawPath(pen, path); });
}
BENCHMARK(BM_StrokeFigure)->Arg(10)->Arg(48);

// A repaint: the clip is a dirty rectangle, one long outline crosses it, another lies outside.
void BM_ClippedRepaint(benchmark::State& state) {
    ScaledWindow window(state);
    window.g.setClip({380, 250, 60, 90}, CombineMode::Replace);
    const Path figure = figurePath(400, 300);
    Path house;
    const std::array<PointF, 5> outline{PointF{150, 580}, PointF{150, 200}, PointF{400, 120},
                                        PointF{650, 200}, PointF{650, 580}};
    house.addLines(outline);
    Path farAway;
    farAway.addRectangle({20, 20, 50, 50});
    Pen pen(0xc0000000, 2);
    pen.setLineJoin(LineJoin::Round);
    const SolidBrush fill(0x80406080);
    window.paintEach(state, [&](Graphics& g) {
        g.fillPath(fill, house);
        g.drawPath(pen, house);
        g.drawPath(pen, figure);
        g.drawPath(pen, farAway);
    });
}
BENCHMARK(BM_ClippedRepaint)->Arg(10)->Arg(48);

void BM_StrokeArrow(benchmark::State& state) {
    Path path;
    path.addLine({300, 280}, {300, 300});
    Pen pen(0xc04040ff, 4);
    pen.setEndCap(LineCap::ArrowAnchor);
    ScaledWindow(state).paintEach(state, [&](Graphics& g) { g.drawPath(pen, path); });
}
BENCHMARK(BM_StrokeArrow)->Arg(10)->Arg(48);

void BM_FillHouseWall(benchmark::State& state) {
    Path wall;
    wall.addRectangle({150, 200, 500, 380});
    const SolidBrush brush(0x80806040);
    ScaledWindow(state).paintEach(state, [&](Graphics& g) { g.fillPath(brush, wall); });
}
BENCHMARK(BM_FillHouseWall)->Arg(10)->Arg(48);

// The light's glow: the same brush every frame, only moved.
void BM_LightGlow(benchmark::State& state) {
    Path disc;
    disc.addEllipse({0, 0, 50, 50});
    PathGradientBrush brush(disc);
    brush.setCenterColor(0xffffffff);
    brush.setSurroundColors({0xff000000});
    float x = 0;
    ScaledWindow(state).paintEach(state, [&](Graphics& g) {
        const int c = g.beginContainer();
        Matrix placement;
        placement.translate(x, 100);
        g.multiplyTransform(placement, MatrixOrder::Append);
        g.fillEllipse(brush, {0, 0, 50, 50});
        g.endContainer(c);
        x = x > 750 ? 0 : x + 0.37f;
    });
}
BENCHMARK(BM_LightGlow)->Arg(10)->Arg(48);

// The edge glow: a new brush every frame, as its alpha fades.
void BM_EdgeGlow(benchmark::State& state) {
    const Path path = edgeGlowPath();
    int frame = 0;
    ScaledWindow(state).paintEach(state, [&](Graphics& g) {
        PathGradientBrush brush(path);
        brush.setCenterColor(makeArgb(static_cast<std::uint8_t>(128 - frame % 128), 255, 255, 255));
        brush.setSurroundColors({0x00ffffff});
        brush.setCenterPoint({540, 300});
        g.fillPath(brush, path);
        ++frame;
    });
}
BENCHMARK(BM_EdgeGlow)->Arg(10)->Arg(48);

void BM_TextPath(benchmark::State& state) {
    for (auto _ : state) {
        Path path;
        path.addString("GAME OVER", 24, {300, 250});
        benchmark::DoNotOptimize(path.pointCount());
    }
}
BENCHMARK(BM_TextPath);

} // namespace
