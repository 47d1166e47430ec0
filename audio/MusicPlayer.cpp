#include "audio/MusicPlayer.h"

#include <cstdio>

namespace audio {

namespace {
// The tune's first tick, as the device takes a position.
const std::string kStart = "0";
} // namespace

MusicPlayer::MusicPlayer(std::string alias, std::span<const std::uint8_t> tune, AudioOutput* output,
                         std::string soundFont, Sequencer::Playback playback)
    : alias_(std::move(alias)), tune_(tune.begin(), tune.end()), output_(output),
      soundFont_(std::move(soundFont)), playback_(playback) {}

MusicPlayer::~MusicPlayer() {
    stop();
}

std::unique_ptr<MusicPlayer> MusicPlayer::prepare(std::span<const std::uint8_t> tune, AudioOutput* output,
                                                  std::string soundFont, Sequencer::Playback playback) {
    auto player = std::make_unique<MusicPlayer>(kAlias, tune, output, std::move(soundFont), playback);
    player->open();
    return player;
}

bool MusicPlayer::open() {
    if (opened_)
        return true;
    // Without an output the game is silent by choice or because the device is missing, which
    // the program has already said.
    if (!output_)
        return false;
    std::string error;
    if (!device_)
        device_ = Sequencer::create(*output_, soundFont_, error, playback_);
    if (!device_) {
        complain(error);
        return false;
    }
    if (!device_->open(tune_, error)) {
        complain(error);
        return false;
    }
    opened_ = true;
    return true;
}

bool MusicPlayer::play() {
    if (!open())
        return false;
    stop();
    if (paused_) {
        // A round started while the game is paused: the tune waits at its start.
        pausePosition_ = kStart;
        playing_ = true;
        return true;
    }
    playing_ = device_->playFrom(kStart);
    return playing_;
}

void MusicPlayer::stop() {
    if (!playing_)
        return;
    device_->stop();
    playing_ = false;
}

void MusicPlayer::pause() {
    if (paused_)
        return;
    paused_ = true;
    if (!playing_)
        return;
    pausePosition_ = device_->position();
    device_->stop();
}

void MusicPlayer::resume() {
    if (!paused_)
        return;
    paused_ = false;
    if (!playing_)
        return;
    device_->playFrom(pausePosition_);
}

void MusicPlayer::poll() {
    // A paused tune is stopped on purpose; asked now, the device would call it ended.
    if (!playing_ || paused_)
        return;
    if (device_->mode() == "stopped") {
        playing_ = false;
        play();
    }
}

void MusicPlayer::settle() {
    if (playing_ && !paused_)
        device_->mode();
}

std::string MusicPlayer::position() const {
    if (!opened_)
        return {};
    return paused_ && playing_ ? pausePosition_ : device_->position();
}

void MusicPlayer::complain(const std::string& why) {
    // Said once: a player that keeps failing to open is asked again at every 'a'.
    if (complained_)
        return;
    complained_ = true;
    std::fprintf(stderr, "hearthly: %s; the game plays without music\n", why.c_str());
}

} // namespace audio
