// Cost of one frame of the real game, painted incrementally: in the middle of an earthquake
// (the ground, the tree, the pole and the whole house move and are repainted) and on a calm
// frame (only the drifting light and whatever else changes). The quake is also measured full
// screen on the usual 1920 x 1080 and 3840 x 2160 screens, where the world is centred, with
// the house put down from pictures of its pieces and painted anew (pictures:0).
#include "game/GameHost.h"
#include "level/Ground.h"
#include "scene/World.h"

#include <benchmark/benchmark.h>

namespace {

// Lets a chance quake at start-up run out, so measuring starts from a calm garden.
void settle(game::GameHost& host) {
    host.run(10);
    while (host.game.ground().isQuakeActive())
        host.timerCall();
}

void quakeFrame(benchmark::State& state) {
    game::GameHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    // pictures:0 paints the house anew every frame, as before it was put down from pictures.
    host.game.renderer().setQuakePictures(state.range(2) != 0);
    settle(host);
    game::Game& game = host.game;
    for (auto _ : state) {
        // A new quake the moment the last one ends: every measured frame shakes the level.
        if (!game.ground().isQuakeActive())
            game.world().settings().groundEventRequest = true;
        host.timerCall();
    }
}

void calmFrame(benchmark::State& state) {
    game::GameHost host(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    settle(host);
    game::Game& game = host.game;
    for (auto _ : state) {
        host.timerCall();
        if (game.ground().isQuakeActive()) {
            // A quake of its own (one at the latest every 3000 frames) is not a calm frame.
            state.PauseTiming();
            settle(host);
            state.ResumeTiming();
        }
    }
}

} // namespace

BENCHMARK(quakeFrame)
    ->ArgNames({"w", "h", "pictures"})
    ->ArgsProduct({{800}, {584}, {0, 1}})
    ->ArgsProduct({{1600}, {1168}, {0, 1}})
    ->ArgsProduct({{1920}, {1080}, {0, 1}})
    ->ArgsProduct({{3840}, {2160}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(calmFrame)->Args({800, 584})->Args({1600, 1168})->Unit(benchmark::kMicrosecond);
