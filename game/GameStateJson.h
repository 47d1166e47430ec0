#pragma once

#include <nlohmann/json.hpp>

namespace game {

class Game;

// The game's state as JSON, for the replay tool and for tests. Each section has its own
// function; a new part of the scene adds a function and one line in dump().
class GameStateJson {
public:
    // timerCalls: timer calls made so far by whoever drives the game.
    static nlohmann::json dump(Game& game, long long timerCalls);

    static void addTiming(nlohmann::json& out, Game& game, long long timerCalls);
    static void addSettings(nlohmann::json& out, const Game& game);
    static void addMessageBox(nlohmann::json& out, const Game& game);
    static void addButtons(nlohmann::json& out, const Game& game);
    static void addDrawList(nlohmann::json& out, const Game& game);
    // The navigation graph (nodes, edges with resolved ends), the platforms and the
    // navigation highlights.
    static void addNav(nlohmann::json& out, const Game& game);
    // Every agent in update order: body, states, platform, route and walk goal; the goal
    // arrows, the trampolines.
    static void addAgents(nlohmann::json& out, const Game& game);
    // The round: counters, result, every sock.
    static void addRules(nlohmann::json& out, const Game& game);
    // The earthquake's state and where the drifting light is.
    static void addGarden(nlohmann::json& out, const Game& game);
};

} // namespace game
