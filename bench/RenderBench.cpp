// Cost of painting the scene: a full redraw, and an incremental frame in which only the
// speed buttons' glow changes, at the world's own size and at a 4K-class window.
#include "game/GameHost.h"

#include <benchmark/benchmark.h>

namespace {

void fullRedraw(benchmark::State& state) {
    game::GameHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        host.game.renderer().requestFullRedraw();
        host.game.paint(false);
    }
}

void incrementalFrame(benchmark::State& state) {
    game::GameHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const double s = host.game.scale();
    // The pointer alternates between the "Slow" button and empty sky, so every frame
    // repaints one button's glow through the dirty rectangles.
    const int overX = static_cast<int>(200 * s);
    const int overY = static_cast<int>(360 * s);
    bool over = false;
    for (auto _ : state) {
        over = !over;
        host.game.onMouseMove(over ? overX : 5, over ? overY : 5);
        host.timerCall();
    }
}

} // namespace

BENCHMARK(fullRedraw)->Args({800, 584})->Args({3840, 2804})->Unit(benchmark::kMillisecond);
BENCHMARK(incrementalFrame)->Args({800, 584})->Args({3840, 2804})->Unit(benchmark::kMillisecond);
