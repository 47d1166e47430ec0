#include "rules/RoundMusic.h"

#include "audio/Tune.h"

namespace game {

RoundMusic::~RoundMusic() {
    if (player_)
        player_->stop();
}

void RoundMusic::frame(double dt, bool roundRunning, bool paused) {
    if (countdown_ >= 0) {
        if (countdown_ == 2) {
            prepare(paused);
            countdown_ = -1;
        } else {
            ++countdown_;
        }
    }
    if (!roundRunning) {
        // Won or lost, the tune plays out and stays silent; asked now and then, it notices it is
        // over and lets the sound output rest.
        settleTime_ += dt;
        if (settleTime_ > 5) {
            if (player_)
                player_->settle();
            settleTime_ = 0;
        }
        return;
    }
    // The tune loops: every 5 s of play it is asked whether it has come to its end.
    pollTime_ += dt;
    if (pollTime_ > 5) {
        if (player_)
            player_->poll();
        pollTime_ = 0;
    }
}

void RoundMusic::prepare(bool paused) {
    if (player_)
        return;
    player_ = audio::MusicPlayer::prepare(audio::embeddedTune());
    // Made during single steps of a paused game: it must stay silent until the game goes on.
    if (paused)
        player_->pause();
}

void RoundMusic::roundStarts() {
    if (!silentRounds_)
        on();
}

void RoundMusic::on() {
    if (player_)
        player_->play();
}

void RoundMusic::off() {
    if (player_)
        player_->stop();
}

void RoundMusic::toggle() {
    wanted_ = !(player_ && player_->isPlaying());
    if (wanted_) {
        silentRounds_ = false;
        on();
    } else {
        off();
    }
}

void RoundMusic::startWithMusicOff() {
    wanted_ = false;
    silentRounds_ = true;
}

void RoundMusic::pause() {
    if (player_)
        player_->pause();
}

void RoundMusic::resume() {
    if (player_)
        player_->resume();
}

} // namespace game
