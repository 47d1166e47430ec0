#include "agents/NavGraph.h"
#include "game/Game.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The house registered into a fresh graph, as the game does at start-up.
struct HouseGraph {
    HouseGraph() {
        setTheNavGraph(&graph);
        game = std::make_unique<Game>();
        setTheGame(game.get());
        graph.prepareTables();
        for (Object* o : {static_cast<Object*>(&game->floorBasement), static_cast<Object*>(&game->floorFirst),
                          static_cast<Object*>(&game->floorSecond), static_cast<Object*>(&game->roof),
                          static_cast<Object*>(&game->denRoof)})
            o->registerInGame();
    }
    ~HouseGraph() {
        setTheGame(nullptr);
        setTheNavGraph(nullptr);
    }
    NavGraph graph;
    std::unique_ptr<Game> game;
};

void BM_ComputeAllPaths(benchmark::State& state) {
    HouseGraph house;
    for (auto _ : state) {
        house.graph.computeAllPaths();
        benchmark::DoNotOptimize(house.graph.eccentricity(0));
    }
    state.counters["nodes"] = house.graph.nodeCount();
    state.counters["edges"] = static_cast<double>(house.graph.edgeList().size());
}
BENCHMARK(BM_ComputeAllPaths);

void BM_PlanPathAcrossTheHouse(benchmark::State& state) {
    HouseGraph house;
    NavGraph& g = house.graph;
    g.computeAllPaths();
    NavEdge& start = g.edge(g.node("basement_left")->index, g.node("basement_and_basement_ladder")->index);
    const int goal = g.node("den_roof_right")->index;
    for (auto _ : state)
        benchmark::DoNotOptimize(g.planPath(&start, goal));
}
BENCHMARK(BM_PlanPathAcrossTheHouse);

void BM_NearestEdge(benchmark::State& state) {
    HouseGraph house;
    house.graph.computeAllPaths();
    float x = 0;
    for (auto _ : state) {
        x = x >= 800 ? 0 : x + 7;
        benchmark::DoNotOptimize(house.graph.nearestEdge({x, 300}));
    }
}
BENCHMARK(BM_NearestEdge);

} // namespace
