#pragma once

#include "core/Clock.h"
#include "game/WindowPort.h"

#include <vector>

class Object;

// The one top-level object: owns the fixed scene, its registration lists and settings,
// runs the frame cycle and hands input to the scene.
class Game {
public:
    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Registration lists: non-owning, in insertion order.
    std::vector<Object*> drawList;
    std::vector<Object*> agentList;
    std::vector<Object*> platformList;
    std::vector<Object*> objectList;
    std::vector<Object*> animalList;
    std::vector<Object*> buttonList;

    // Settings, changed by keys and buttons.
    int speedLevel = 1;
    bool paused = false;
    bool paintForcesFullRedraw = true;
    bool showDirtyRects = false;
    bool showRedrawnObjects = false;
    bool groundEventRequest = false;
    int selectedNode = 0;
    int navOverlay = 0;
    bool goalTracking = false;
    bool hoverNodes = false;
    bool cheatUsed = false;
    int hudMode = 0;
};

// The process-wide game. Tests and tools point it at a game of their own.
Game& theGame();
void setTheGame(Game* game);
