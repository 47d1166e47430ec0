#include "game/GameHost.h"

#include <benchmark/benchmark.h>

namespace {

// The whole level (48 nodes, 100 edges), as the game solves it once at start-up.
void BM_ComputeAllPaths(benchmark::State& state) {
    game::GameHost host;
    for (auto _ : state) {
        host.graph.computeAllPaths();
        benchmark::DoNotOptimize(host.graph.eccentricity(0));
    }
    state.counters["nodes"] = host.graph.nodeCount();
    state.counters["edges"] = static_cast<double>(host.graph.edgeList().size());
}
BENCHMARK(BM_ComputeAllPaths);

// A click: the route from the basement to the roof ridge.
void BM_PlanPathBasementToRoof(benchmark::State& state) {
    game::GameHost host;
    game::NavGraph& g = host.graph;
    game::NavEdge& start =
        g.edge(g.node("basement_left")->index, g.node("basement_and_basement_ladder")->index);
    const int goal = g.node("roof_middle")->index;
    for (auto _ : state)
        benchmark::DoNotOptimize(g.planPath(&start, goal));
}
BENCHMARK(BM_PlanPathBasementToRoof);

// A mouse move: the walkway nearest to the pointer, swept across the window.
void BM_NearestEdge(benchmark::State& state) {
    game::GameHost host;
    float x = 0;
    for (auto _ : state) {
        x = x >= 800 ? 0 : x + 7;
        benchmark::DoNotOptimize(host.graph.nearestEdge({x, 300}));
    }
}
BENCHMARK(BM_NearestEdge);

} // namespace
