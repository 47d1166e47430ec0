#pragma once

#include "game/Game.h"

namespace game {

// The keyboard commands: debug displays, cheats, single steps and the window's own
// requests (quit, About box). Only lower-case letters are commands.
class KeyCommands {
public:
    static Game::KeyAction apply(Game& game, char32_t key);

private:
    // The debug displays ('b', 'c', 'f', 'j', 'k', 'l', 'r', 'z'); false for any other key.
    static bool applyOverlayKey(Game& game, char32_t key);
    // The round's cheats and steps ('d', 'e', 'g', 's', '+', '-', 'm', 'n'); false for any other.
    static bool applyRoundKey(Game& game, char32_t key);
    static void cycleStatusBox(Game& game);
    static void stepSelectedNode(Game& game, int delta);
};

} // namespace game
