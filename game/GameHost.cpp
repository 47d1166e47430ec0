#include "game/GameHost.h"

#include "scene/World.h"

namespace game {

GameHost::GameHost(int width, int height, std::uint32_t seed, bool shown)
    : window(width, height), game(seed), graph(game.world().navGraph()) {
    game.attachWindow(window, clock);
    // The window appears: its first paint is a full one.
    if (shown)
        expose();
}

void GameHost::timerCall(std::int64_t microseconds) {
    clock.advanceMicroseconds(microseconds);
    game.tick(false);
}

void GameHost::run(int calls, std::int64_t microseconds) {
    for (int i = 0; i < calls; ++i)
        timerCall(microseconds);
}

} // namespace game
