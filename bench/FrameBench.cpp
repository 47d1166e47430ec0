// Cost of whole frames as the game runs them (simulate, then paint incrementally) with the
// five characters on the move, before a round and during one (forty socks), at the world's own
// size and at a 4K-class window. The Full variants force a full redraw in every frame of the
// same scene, for the ratio; roundStart times the first second of a round, socks falling.
#include "game/GameHost.h"

#include "rules/GameRoundup.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kWarmUpCalls = 1000; // the figures land; in a round, the socks come to rest

// Clicks a world point, so the Husband walks to the nearest walkway.
void clickWorld(game::GameHost& host, float x, float y) {
    const double s = host.game.scale();
    const auto origin = host.game.renderer().origin();
    host.game.onClick(origin.x + static_cast<int>(x * s), origin.y + static_cast<int>(y * s));
}

// Keeps the Husband walking: every 3 s he is sent to the other side of the level.
void keepHusbandWalking(game::GameHost& host, long long call) {
    if (call % 300 == 0)
        clickWorld(host, (call / 300) % 2 == 0 ? 700.0f : 100.0f, (call / 300) % 2 == 0 ? 550.0f : 300.0f);
}

// A round lost or won ends; the next one starts at once, so the scene keeps its socks.
void keepRoundRunning(game::GameHost& host, bool round) {
    if (round && !host.game.rules().isRunning())
        host.game.onKey('n');
}

// range(0) x range(1): window; range(2): 1 during a round; range(3): 1 for full redraws (an
// expose: the whole picture to the window), 2 for the back buffer painted anew in every frame.
void frame(benchmark::State& state) {
    game::GameHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const bool round = state.range(2) != 0;
    keepRoundRunning(host, round);
    const long long full = state.range(3);
    long long call = 0;
    for (; call < kWarmUpCalls; ++call) {
        keepHusbandWalking(host, call);
        host.timerCall();
    }
    for (auto _ : state) {
        keepRoundRunning(host, round);
        keepHusbandWalking(host, call++);
        if (full == 1)
            host.game.renderer().requestFullRedraw();
        else if (full == 2)
            host.game.renderer().requestRepaintFromScratch();
        host.timerCall();
    }
}

// Each iteration starts a new round and runs its first second (100 timer calls); the time is
// reported per frame.
void roundStart(benchmark::State& state) {
    game::GameHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    host.run(kWarmUpCalls);
    constexpr int kCalls = 100;
    for (auto _ : state) {
        host.game.onKey('n');
        host.run(kCalls);
    }
    state.counters["per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kCalls,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(frame)
    ->ArgNames({"w", "h", "round", "full"})
    ->Args({800, 584, 0, 0})
    ->Args({800, 584, 0, 1})
    ->Args({800, 584, 1, 0})
    ->Args({800, 584, 1, 1})
    ->Args({800, 584, 1, 2})
    ->Args({3840, 2804, 0, 0})
    ->Args({3840, 2804, 0, 1})
    ->Args({3840, 2804, 1, 0})
    ->Args({3840, 2804, 1, 1})
    ->Args({3840, 2804, 1, 2})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(roundStart)
    ->ArgNames({"w", "h"})
    ->Args({800, 584})
    ->Args({3840, 2804})
    ->Unit(benchmark::kMillisecond);
