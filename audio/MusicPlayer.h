#pragma once

#include "audio/AudioOutput.h"
#include "audio/Sequencer.h"
#include "audio/TemporaryTuneFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace audio {

// The game's background tune on a sequencer device: opened under an alias, played from the
// start, stopped, paused at a remembered position and resumed there, and restarted by a poll
// once it has reached its end. The rules own the one player and call it from the game thread.
//
// Without an output, a sound font or a readable tune the player stays silent: it says why once
// on stderr, and every call does nothing (an open is tried again on the next play).
//
// The rules hold it as std::unique_ptr<MusicPlayer> music, made on their third update with
// music = MusicPlayer::prepare(embeddedTune()) (it plays into theAudioOutput()), and call
// play() at a new game, stop() for 'm' and for 'a' while playing, play() for 'a' otherwise,
// pause() and resume() around the game's pause, and poll() every 5 s while a game runs.
class MusicPlayer {
public:
    static constexpr const char* kAlias = "game";

    MusicPlayer(std::string alias, std::string filePath, AudioOutput* output = theAudioOutput(),
                std::string soundFont = Sequencer::kDefaultSoundFont);
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Writes the tune to a new temporary file that the player removes when it goes, and opens
    // it under the alias "game". Nothing, with one line on stderr, when the file cannot be
    // written; a player whose open failed is still returned and tries again when played.
    static std::unique_ptr<MusicPlayer> prepare(std::span<const std::uint8_t> tune,
                                                AudioOutput* output = theAudioOutput(),
                                                const std::string& directory = temporaryDirectory(),
                                                std::string soundFont = Sequencer::kDefaultSoundFont);

    bool open();
    // Opens if needed, stops, then plays from the start.
    bool play();
    void stop();
    // Remembers the position and stops; still counts as playing.
    void pause();
    void resume();
    // Restarts the tune from the start when it has come to its end.
    void poll();

    const std::string& alias() const { return alias_; }
    const std::string& filePath() const { return filePath_; }
    bool isOpened() const { return opened_; }
    bool isPlaying() const { return playing_; }

private:
    void complain(const std::string& why);

    std::string alias_;
    std::string filePath_;
    bool opened_ = false;
    bool playing_ = false;
    std::string pausePosition_;

    AudioOutput* output_;
    std::string soundFont_;
    std::optional<TemporaryTuneFile> ownFile_; // declared before the device, so removed after it
    std::unique_ptr<Sequencer> device_;
    bool complained_ = false;
};

} // namespace audio
