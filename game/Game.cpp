#include "game/Game.h"

namespace {
Game* currentGame = nullptr;
}

Game& theGame() { return *currentGame; }
void setTheGame(Game* game) { currentGame = game; }

Game::Game() = default;
Game::~Game() = default;
