#include "audio/MusicPlayer.h"

#include <cstdio>

namespace audio {

MusicPlayer::MusicPlayer(std::string alias, std::string filePath, AudioOutput* output, std::string soundFont)
    : alias_(std::move(alias)), filePath_(std::move(filePath)), output_(output),
      soundFont_(std::move(soundFont)) {}

MusicPlayer::~MusicPlayer() {
    stop();
}

std::unique_ptr<MusicPlayer> MusicPlayer::prepare(std::span<const std::uint8_t> tune, AudioOutput* output,
                                                  const std::string& directory, std::string soundFont) {
    std::string error;
    std::optional<TemporaryTuneFile> file = TemporaryTuneFile::create(tune, directory, error);
    if (!file) {
        std::fprintf(stderr, "hearthly: %s; the game plays without music\n", error.c_str());
        return nullptr;
    }
    auto player = std::make_unique<MusicPlayer>(kAlias, file->path(), output, std::move(soundFont));
    player->ownFile_ = std::move(file);
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
        device_ = Sequencer::create(*output_, soundFont_, error);
    if (!device_) {
        complain(error);
        return false;
    }
    if (!device_->open(filePath_, error)) {
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
    playing_ = device_->playFrom("0");
    return playing_;
}

void MusicPlayer::stop() {
    if (!playing_)
        return;
    device_->stop();
    playing_ = false;
}

void MusicPlayer::pause() {
    if (!playing_)
        return;
    pausePosition_ = device_->position();
    device_->stop();
}

void MusicPlayer::resume() {
    if (!playing_)
        return;
    device_->playFrom(pausePosition_);
}

void MusicPlayer::poll() {
    if (!playing_)
        return;
    if (device_->mode() == "stopped") {
        playing_ = false;
        play();
    }
}

void MusicPlayer::complain(const std::string& why) {
    // Said once: a player that keeps failing to open is asked again at every 'a'.
    if (complained_)
        return;
    complained_ = true;
    std::fprintf(stderr, "hearthly: %s; the game plays without music\n", why.c_str());
}

} // namespace audio
