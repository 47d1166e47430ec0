#pragma once

#include "agents/NavGraph.h"
#include "core/Clock.h"
#include "game/Game.h"
#include "game/OffscreenWindow.h"

#include <cstdint>

// A complete game without a window: a seeded generator, a virtual clock, an off-screen
// window, the navigation graph and the game, built and attached in the start-up order.
// The process-wide accessors point at this host's graph and game while it lives and are
// cleared when it goes, so nothing can reach a destroyed scene through them.
class GameHost {
public:
    static constexpr std::int64_t kTimerPeriodUs = 10'000;

    // shown: the window appears at once and gets its first paint (a recording being played
    // brings its own).
    explicit GameHost(int width = 800, int height = 584, std::uint32_t seed = 1, bool shown = true);
    GameHost(const GameHost&) = delete;
    GameHost& operator=(const GameHost&) = delete;

    // Advances the clock and makes one timer call, as the window's 10 ms timer does.
    void timerCall(std::int64_t microseconds = kTimerPeriodUs);
    // Runs n timer calls.
    void run(int calls, std::int64_t microseconds = kTimerPeriodUs);
    // The window system asks for a repaint (shown, restored, resized).
    void expose() { game.paint(true); }

private:
    // Declared first so it is destroyed last: the scene still reaches the accessors while
    // it is torn down.
    struct AccessorScope {
        explicit AccessorScope(std::uint32_t seed);
        ~AccessorScope();
        AccessorScope(const AccessorScope&) = delete;
        AccessorScope& operator=(const AccessorScope&) = delete;
    };
    struct GraphBinding {
        explicit GraphBinding(NavGraph& graph) { setTheNavGraph(&graph); }
    };
    AccessorScope scope;

public:
    core::VirtualClock clock;
    OffscreenWindow window;
    NavGraph graph;

private:
    GraphBinding graphBinding{graph}; // branches append their nodes while the game is built

public:
    Game game;
};
