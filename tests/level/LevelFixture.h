#pragma once

#include "game/GameHost.h"

#include <cstdint>

namespace game {

namespace testing_level {

// The real level, headless: a seeded generator, a virtual clock, a fresh graph and game,
// attached in the start-up order. Each instance is independent of the ones built before it.
struct Level {
    explicit Level(std::uint32_t seed = 1) : host(800, 584, seed) {}

    // One timer call of the real frame cycle, dt seconds after the last one.
    void frame(double dt) { host.timerCall(static_cast<std::int64_t>(dt * 1'000'000 + 0.5)); }

    NavNode& node(const char* name) const { return *graph->node(name); }

    GameHost host;
    Game* game = &host.game;
    NavGraph* graph = &host.graph;
};

} // namespace testing_level

} // namespace game
