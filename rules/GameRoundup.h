#pragma once

#include "audio/MusicPlayer.h"
#include "characters/Bat.h"
#include "characters/Cat.h"
#include "rules/SockListener.h"
#include "scene/Object.h"
#include "widgets/AgentCount.h"
#include "widgets/TextBox.h"
#include "widgets/Timer.h"

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
// who costs a life, the counters along the bottom and the result. It owns the cats (which roam
// from the start, also before the first round), the socks of the running round and the bat.
// It draws nothing itself and runs after every agent and platform each frame.
class GameRoundup : public Object, public SockListener {
public:
    static constexpr int kSockCount = 40;

    explicit GameRoundup(const RoundCast& cast);
    ~GameRoundup() override;

    // Registers itself, the cats, its widgets and the bat.
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

    // The tune: written out and opened on the third frame after start-up, played during rounds.
    void prepareMusic();
    void musicOn();
    void musicOff();
    // 'a': off while it plays, otherwise on from the start.
    void toggleMusic();
    // Whether 'a' last switched the music on (or never touched it), as the player's settings
    // keep it.
    bool musicWanted() const { return musicWanted_; }
    // A player who left the music off last time: rounds start silent until 'a' switches it on.
    void startWithMusicOff();
    // Around the game's pause ('p').
    void pauseMusic();
    void resumeMusic();
    const audio::MusicPlayer* musicPlayer() const { return music.get(); }

    bool isRunning() const { return running; }
    int lives() const { return lives_; }
    int pairFailCount() const { return pairFailCount_; }
    const std::vector<Sock*>& socksInLevel() const { return socksInLevel_; }
    const std::vector<Sock*>& socksCollected() const { return socksCollected_; }
    const std::vector<std::unique_ptr<Cat>>& cats() const { return cats_; }

    Timer gameClock{0xc0000000, 0x40cccc80};
    TextBox sockCounter{0xc0000000, 0x40cccc80};
    TextBox resultBox{0xffff8080, 0x80808080};
    TextBox cheaterBox{0xa0c00000, 0x40cccc80};
    TextBox speedBox{0xc0000000, 0x40404040};
    AgentCount livesDisplay;
    Bat bat;

private:
    // A round is over (won or lost): the rules stop, the round's picture stays.
    void stopPlay();
    void pickUpSock();
    void strikeWithCats();
    void chaseWithWife(double dt);
    void separateSocks();
    void updateSockCounter();
    void updateLives();
    void updateSpeedBox();
    // A random sock of the list (rand() * count / 32768), or nullptr when it is empty.
    static Sock* randomSock(const std::vector<Sock*>& list);

    RoundCast cast;
    std::vector<Sock*> socksInLevel_;
    std::vector<Sock*> socksCollected_;
    // Every sock of the round, owned here; the two lists above point into it.
    std::vector<std::unique_ptr<Sock>> socks;
    Sock* pairFirst = nullptr;
    Sock* pairSecond = nullptr;
    int pairFailCount_ = 0;
    std::vector<std::unique_ptr<Cat>> cats_;
    double wifeCheckTimer = 0;
    double catchTimer = 0;
    bool running = false;
    int lives_ = 2;
    std::unique_ptr<audio::MusicPlayer> music;
    // Frames until the music is prepared; -1 once it has been.
    int musicCountdown = 0;
    // Running time since the tune was last asked whether it has ended, while a round runs and
    // while none does.
    double musicPollTime = 0;
    double musicSettleTime = 0;
    bool musicWanted_ = true;
    bool silentRounds_ = false;
};

} // namespace game
