#pragma once

#include "widgets/AgentCount.h"
#include "widgets/TextBox.h"
#include "widgets/Timer.h"

#include <string>

namespace game {

class World;

// What the rules show: along the bottom the socks collected out of forty, the lives left as
// small figures, the speed's letter and the round's clock, and "CHEATER" once a cheat key was
// pressed; in the middle the result ("CONGRATS", "GAME OVER"). Widgets of the scene, hidden
// until a round starts; the rules say what they show.
class RoundDisplay {
public:
    RoundDisplay();

    // Registers the widgets and puts them in their places.
    void registerInGame(World& world);
    // A round starts: the clock runs from zero and the counters show the round's first state.
    void showRound(int collected, int lives, int speedLevel);
    void showCount(int collected);
    void showLives(int lives);
    // The speed's first letter in the player's language, on the speed's colour (level 1 to 3).
    void showSpeed(int speedLevel);
    // The game's speed changed ('d'): a shown speed box follows it.
    void speedChanged(int speedLevel);
    void showCheater();
    void showResult(const std::string& text);
    // The round is over: its clock stands.
    void freezeClock();
    // Everything goes, as before the first round.
    void hide();

    Timer gameClock{0xc0000000, 0x40cccc80};
    TextBox sockCounter{0xc0000000, 0x40cccc80};
    TextBox resultBox{0xffff8080, 0x80808080};
    TextBox cheaterBox{0xa0c00000, 0x40cccc80};
    TextBox speedBox{0xc0000000, 0x40404040};
    AgentCount livesDisplay;
};

} // namespace game
