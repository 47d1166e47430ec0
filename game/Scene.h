#pragma once

#include "characters/Husband.h"
#include "characters/Wife.h"
#include "level/EdgeHighlight.h"
#include "level/GoalArrow.h"
#include "level/Ground.h"
#include "level/LightSource.h"
#include "level/NodeHighlight.h"
#include "level/Storey.h"
#include "level/TelephonePole.h"
#include "rules/GameRoundup.h"
#include "widgets/Button.h"
#include "widgets/HelpPanel.h"
#include "widgets/TextBox.h"

namespace game {

// The fixed scene the game holds: the house, the garden, the two figures, the highlights, the
// round's rules and the on-screen widgets. Only the game includes this; everyone else reaches a
// part through the game's accessor and that part's own header, so changing a storey or a figure
// rebuilds what uses it and not everything that knows the game. The game itself keeps the
// start-up order (which storey carries which, who registers when).
class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // In construction order (the world's lists outlive the scene, so objects leaving it in
    // their destructors still find them).
    LightSource light;
    Ground ground;
    Storey floorFirst{Storey::firstFloor};
    Storey floorSecond{Storey::secondFloor};
    Storey floorBasement{Storey::basement};
    Storey roof{Storey::roof};
    Storey denRoof{Storey::denRoof};
    // Built but never registered, drawn or updated; its branch's three nodes still count in
    // the graph and stay unplaced.
    TelephonePole telephonePole;
    Husband husband;
    Wife wife;
    // Where each of them is walking: blue for him, red for her.
    GoalArrow husbandGoal{husband};
    GoalArrow wifeGoal{wife};
    NodeHighlight nodeHighlight;
    EdgeHighlight edgeHighlight;
    // The round: socks, cats, lives, counters; the cats roam from the start.
    GameRoundup rules{RoundCast{husband, wife, husbandGoal, {&slowButton, &mildButton, &fastButton}}};
    Button slowButton{0x80dddd80, 0x80808080};
    Button mildButton{0x80dddd80, 0x80808080};
    Button fastButton{0x80dddd80, 0x80808080};
    // The status text box: platform label, frame rate or redraw statistics (key 'f').
    TextBox messageBox{0x80dddd80, 0x80808080};
    // "PAUSED" in the middle of the world while the game is paused, in front of everything
    // else: a full-screen player sees no title bar.
    TextBox pauseBox{0x80dddd80, 0x80808080};
    // Kept best times, for a game that keeps them: the best at each speed under its button
    // before a round, and the place a won round took.
    TextBox slowBest{0x80dddd80, 0x80808080};
    TextBox mildBest{0x80dddd80, 0x80808080};
    TextBox fastBest{0x80dddd80, 0x80808080};
    TextBox newBestBox{0xffffd040, 0x80808080};
    // F1: what the game is about and every key, over everything else.
    HelpPanel helpPanel;
};

} // namespace game
