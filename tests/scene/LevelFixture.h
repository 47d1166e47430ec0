#pragma once

#include "agents/NavGraph.h"
#include "core/Clock.h"
#include "core/Random.h"
#include "game/Game.h"
#include "game/WindowPort.h"

#include <memory>

namespace testing_level {

// A window that shows nothing: the game runs headless at 800 x 584.
class NullWindow : public WindowPort {
public:
    gfx::RectI clientRect() override { return {0, 0, 800, 584}; }
    void present(const gfx::Surface&, std::span<const gfx::RectI>) override {}
    void resizeClient(int, int) override {}
};

// The real level: a fresh graph and game, seeded, attached to a window that shows nothing,
// driven by a virtual clock. Each instance is independent of the ones built before it.
struct Level {
    explicit Level(std::uint32_t seed = 1) {
        core::Random::seed(seed);
        graph = std::make_unique<NavGraph>();
        setTheNavGraph(graph.get());
        game = std::make_unique<Game>();
        setTheGame(game.get());
        graph->prepareTables();
        // Until the game attaches to a window, register the scene in the game's order.
        for (Object* o :
             std::initializer_list<Object*>{&game->light, &game->floorBasement, &game->floorFirst,
                                            &game->floorSecond, &game->roof, &game->denRoof, &game->ground})
            o->registerInGame();
        graph->computeAllPaths();
    }
    ~Level() {
        game.reset();
        graph.reset();
        setTheGame(nullptr);
        setTheNavGraph(nullptr);
    }

    // One frame of the real cycle with the given step in seconds.
    void frame(double dt) {
        for (auto* list : {&game->agentList, &game->platformList, &game->objectList})
            for (std::size_t i = 0; i < list->size(); ++i)
                (*list)[i]->update(dt);
    }

    NavNode& node(const char* name) const { return *graph->node(name); }

    NullWindow window;
    core::VirtualClock clock;
    std::unique_ptr<NavGraph> graph;
    std::unique_ptr<Game> game;
};

} // namespace testing_level
