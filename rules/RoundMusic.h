#pragma once

#include "audio/MusicPlayer.h"

#include <memory>

namespace game {

// The round's music: the game's own tune (built into the program) made ready on the third
// frame after start-up, played from the start of each round while the player wants it,
// looping while the round runs, and paused with the game. The rules run it each frame.
class RoundMusic {
public:
    RoundMusic() = default;
    ~RoundMusic();
    RoundMusic(const RoundMusic&) = delete;
    RoundMusic& operator=(const RoundMusic&) = delete;

    // One frame of dt seconds, before the rules: the player is made on the third frame
    // (silent while paused, as any start during the pause); every 5 s the tune is asked
    // whether it has come to its end, to loop while a round runs or to let the sound output
    // rest once it has played out after one.
    void frame(double dt, bool roundRunning, bool paused);

    // A round starts: the tune plays from its start, unless the player left the music off.
    void roundStarts();
    // The round is cleared away ('m', or a new round about to start).
    void off();
    // 'a': off while it plays, otherwise on from the start.
    void toggle();
    // Whether 'a' last switched the music on (or never touched it), as the player's settings
    // keep it.
    bool wanted() const { return wanted_; }
    // A player who left the music off last time: rounds start silent until 'a' switches it on.
    void startWithMusicOff();
    // Around the game's pause ('p').
    void pause();
    void resume();
    const audio::MusicPlayer* player() const { return player_.get(); }

private:
    void prepare(bool paused);
    void on();

    std::unique_ptr<audio::MusicPlayer> player_;
    // Frames until the player is made; -1 once it has been.
    int countdown_ = 0;
    // Running time since the tune was last asked whether it has ended, while a round runs and
    // while none does.
    double pollTime_ = 0;
    double settleTime_ = 0;
    bool wanted_ = true;
    bool silentRounds_ = false;
};

} // namespace game
