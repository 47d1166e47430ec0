#pragma once

#include "characters/Bat.h"
#include "characters/Cat.h"
#include "rules/RoundDisplay.h"
#include "rules/RoundMusic.h"
#include "rules/SockListener.h"
#include "scene/Object.h"

#include <array>
#include <memory>
#include <vector>

namespace game {

class Button;
class GoalArrow;
class Husband;
class Sock;
class Wife;

// The figures and buttons of the game that a round works with: the player, his pursuer, his
// goal arrow, and the speed buttons that start a round and hide while it runs.
struct RoundCast {
    Husband& husband;
    Wife& wife;
    GoalArrow& husbandGoal;
    std::array<Button*, 3> speedButtons;
};

// The rules of a round: forty socks to collect, cats that scatter the collected ones, the Wife
// who costs a life, and the result. It owns the cats (which roam from the start, also before
// the first round), the socks of the running round and the bat; what the round shows is its
// display's (RoundDisplay), the tune its music's (RoundMusic). It is a scene object only to
// run each frame after every agent and platform and to hear of a quake; it draws nothing, but
// keeps its place in the draw list, where every replay has it.
class GameRoundup : public Object, public SockListener {
public:
    static constexpr int kSockCount = 40;

    explicit GameRoundup(const RoundCast& cast);
    ~GameRoundup() override;

    // Registers itself, the cats, the display's widgets and the bat.
    void registerInGame(World& world) override;
    // An earthquake shakes the socks loose (the displacement itself is ignored).
    void translate(float dx, float dy) override;
    std::string typeName() const override { return "GameRoundup"; }
    void update(double dt) override;
    void draw(gfx::Graphics&) override {}
    void rebuildPath() override { clearShapeDirty(); }

    void sockPlaced(Sock& sock) override;
    void sockRemoved(Sock& sock) override;

    // Ends any round and starts a new one at the game's speed level.
    void startNewGame();
    // Ends the round and clears the level back to how it was before the first round.
    void endGame();
    // Cheats: collect a random sock at once, or put a random collected one back; both only
    // while a round runs.
    void collectRandomSock();
    void returnRandomSock();
    // The game's speed changed during a round ('d'): the speed box shows the new letter.
    void speedChanged();

    // The tune, which the rules start with each round and stop with the level ('a', 'p' and
    // the player's settings reach it here).
    RoundMusic& music() { return music_; }
    const RoundMusic& music() const { return music_; }
    // The counters and the result along the bottom and in the middle.
    const RoundDisplay& display() const { return display_; }

    bool isRunning() const { return running_; }
    int lives() const { return lives_; }
    int pairFailCount() const { return pairFailCount_; }
    const std::vector<Sock*>& socksInLevel() const { return socksInLevel_; }
    const std::vector<Sock*>& socksCollected() const { return socksCollected_; }
    const std::vector<std::unique_ptr<Cat>>& cats() const { return cats_; }

    Bat bat;

private:
    // A round is over (won or lost): the rules stop, the round's picture stays.
    void stopPlay();
    void pickUpSock();
    void strikeWithCats();
    void chaseWithWife(double dt);
    void separateSocks();
    // The game's speed level (1 without a world).
    int speedLevel() const;
    // A random sock of the list, drawn from the game's random source, or nullptr when it is
    // empty.
    Sock* randomSock(const std::vector<Sock*>& list);

    RoundCast cast_;
    std::vector<Sock*> socksInLevel_;
    std::vector<Sock*> socksCollected_;
    // Every sock of the round, owned here; the two lists above point into it.
    std::vector<std::unique_ptr<Sock>> socks_;
    Sock* pairFirst_ = nullptr;
    Sock* pairSecond_ = nullptr;
    int pairFailCount_ = 0;
    std::vector<std::unique_ptr<Cat>> cats_;
    double wifeCheckTimer_ = 0;
    double catchTimer_ = 0;
    bool running_ = false;
    int lives_ = 2;
    RoundDisplay display_;
    // Last: it stops the tune before anything else of the rules goes.
    RoundMusic music_;
};

} // namespace game
