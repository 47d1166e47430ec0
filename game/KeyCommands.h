#pragma once

#include "game/Game.h"

namespace game {

// The keyboard commands: debug displays, cheats, single steps and the window's own
// requests (quit, About box). Only lower-case letters are commands.
class KeyCommands {
public:
    static Game::KeyAction apply(Game& game, char32_t key);

private:
    static void cycleStatusBox(Game& game);
    static void stepSelectedNode(Game& game, int delta);
};

} // namespace game
