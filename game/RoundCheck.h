#pragma once

#include <string>

namespace game {

class Game;

// What must hold at every frame of a running round: forty socks, each either lying in the
// level (and updated and drawn) or collected (and neither), never both, never lost. Returns the
// first thing found wrong, or an empty string.
std::string checkRound(const Game& game);

} // namespace game
