// What one animated figure costs each time it changes: rebuilding its outline from the
// key frames, deriving its hit region, and drawing it (at the world's own scale and at the
// scale of a 4K-class window).
#include "characters/Cat.h"
#include "characters/Husband.h"
#include "characters/Wife.h"
#include "game/GameHost.h"
#include "gfx/Graphics.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 0 the Husband, 1 the Wife, 2 a cat; placed mid-world, in its idle pose.
std::unique_ptr<game::Person> figure(int kind) {
    std::unique_ptr<game::Person> p;
    if (kind == 0)
        p = std::make_unique<game::Husband>();
    else if (kind == 1)
        p = std::make_unique<game::Wife>();
    else
        p = std::make_unique<game::Cat>("cat1", 600, 150, 0xff608030);
    p->moveTo(400, 300);
    return p;
}

void outlineRebuild(benchmark::State& state) {
    game::GameHost host;
    auto p = figure(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        p->invalidate();
        p->refreshShape();
        benchmark::DoNotOptimize(p->path().pointCount());
    }
}

// The outline and the region made from it, as a hit test after a move needs both.
void hitRegion(benchmark::State& state) {
    game::GameHost host;
    auto p = figure(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        p->invalidate();
        benchmark::DoNotOptimize(p->region().isEmpty());
    }
}

void draw(benchmark::State& state) {
    game::GameHost host;
    auto p = figure(static_cast<int>(state.range(0)));
    const float scale = static_cast<float>(state.range(1)) / 10;
    gfx::Surface surface(static_cast<int>(800 * scale), static_cast<int>(584 * scale));
    gfx::Graphics g(surface);
    g.scaleTransform(scale, scale);
    p->refreshShape();
    for (auto _ : state) {
        p->draw(g);
        g.flush();
    }
}

} // namespace

BENCHMARK(outlineRebuild)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(hitRegion)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(draw)
    ->Args({0, 10})
    ->Args({1, 10})
    ->Args({2, 10})
    ->Args({0, 48})
    ->Args({1, 48})
    ->Args({2, 48})
    ->Unit(benchmark::kMicrosecond);
