#pragma once

#include "core/Clock.h"
#include "game/WindowPort.h"
#include "scene/DenRoof.h"
#include "scene/EdgeHighlight.h"
#include "scene/FloorBasement.h"
#include "scene/FloorFirst.h"
#include "scene/FloorSecond.h"
#include "scene/Ground.h"
#include "scene/LightSource.h"
#include "scene/NodeHighlight.h"
#include "scene/Roof.h"
#include "scene/TelephonePole.h"

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

    // What the window layer must do after a key: nothing, quit, or show the About box.
    enum class KeyAction { None, Quit, ShowAbout };

    // Called once the window exists: registers the scene and solves the graph's paths.
    void attachWindow(WindowPort& window, core::Clock& clock);
    // One timer call; force runs a fixed 80 ms step even while paused.
    void tick(bool force);
    // Client-pixel coordinates.
    int onMouseMove(int x, int y);
    int onClick(int x, int y);
    // A typed character (upper and lower case differ); Esc is 27.
    KeyAction onKey(char32_t ch);
    // Restores the 800 : 584 aspect after a border drag; returns whether it resized.
    bool fitAspect(const gfx::RectI& oldClientRect);
    // Repaints; fromExpose is true when the window system asked for it (expose).
    void paint(bool fromExpose);
    void releaseBackBuffer();

    static constexpr const char* kAboutTitle = "About the game Hearthly";
    static constexpr const char* kAboutText =
        "Click anywhere to command Husband to walk to the blue target arrow in order to collect all socks "
        "while avoiding cats and the lovely Wife. Cats empty part of your sock collection and the wife sets "
        "you back one life.\n\nHit 'a' to turn off the annoying video game music I composed.";

    // The fixed scene, in construction order. The house storeys reach each other through
    // these members when they register (each carries the one stacked on it).
    LightSource light;
    Ground ground;
    FloorFirst floorFirst;
    FloorSecond floorSecond;
    FloorBasement floorBasement;
    Roof roof;
    DenRoof denRoof;
    // Built but never registered, drawn or updated; its branch's three nodes still count in
    // the graph and stay unplaced.
    TelephonePole telephonePole;
    // (husband, wife, husbandGoal, wifeGoal come here)
    NodeHighlight nodeHighlight;
    EdgeHighlight edgeHighlight;
    // (rules, the buttons and messageBox follow)

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
