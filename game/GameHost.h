#pragma once

#include "agents/NavGraph.h"
#include "core/Clock.h"
#include "game/Game.h"
#include "game/OffscreenWindow.h"

#include <cstdint>

namespace game {

// A complete game without a window: a seeded generator, a virtual clock, an off-screen
// window and the game, built and attached as the program does.
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

    core::VirtualClock clock;
    OffscreenWindow window;
    Game game;
    NavGraph& graph;
};

} // namespace game
