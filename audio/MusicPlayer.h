#pragma once

#include "audio/AudioOutput.h"
#include "audio/Sequencer.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace audio {

// The game's background tune on a sequencer device: opened under an alias, played from the
// start, stopped, paused at a remembered position and resumed there, and restarted by a poll
// once it has reached its end. The rules own the one player and call it from the game thread.
//
// The synthesiser plays the tune straight from the program's memory, so nothing is ever
// written to disk: there is no file to leave behind, whatever way the game ends, and no
// temporary directory the music depends on. It renders the tune once, in the background, and
// the tune then plays from that recording (see Sequencer).
//
// A pause lasts until the matching resume and holds whatever happens meanwhile: the tune
// started, restarted or polled while paused stays silent and sounds only when the game goes
// on, from where it was (or from the start, for a tune started during the pause).
//
// Without an output, a sound font or a playable tune the player stays silent: it says why once
// on stderr, and every call does nothing (an open is tried again on the next play).
//
// The round's music (rules/RoundMusic) holds it as a std::unique_ptr<MusicPlayer>, made on the
// rules' third update with MusicPlayer::prepare(embeddedTune()) (it plays into
// theAudioOutput()), and calls
// play() at a new game, stop() for 'm' and for 'a' while playing, play() for 'a' otherwise,
// pause() and resume() around the game's pause, poll() every 5 s while a game runs, and
// settle() every 5 s while none does.
class MusicPlayer {
public:
    static constexpr const char* kAlias = "game";

    MusicPlayer(std::string alias, std::span<const std::uint8_t> tune, AudioOutput* output = theAudioOutput(),
                std::string soundFont = Sequencer::kDefaultSoundFont,
                Sequencer::Playback playback = Sequencer::Playback::fromMemory);
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // A player of the tune under the alias "game", opened at once; one whose open failed
    // tries again when played.
    static std::unique_ptr<MusicPlayer>
    prepare(std::span<const std::uint8_t> tune, AudioOutput* output = theAudioOutput(),
            std::string soundFont = Sequencer::kDefaultSoundFont,
            Sequencer::Playback playback = Sequencer::Playback::fromMemory);

    bool open();
    // Opens if needed, stops, then plays from the start (silent until resumed while paused).
    bool play();
    void stop();
    // Remembers the position and stops; still counts as playing.
    void pause();
    void resume();
    // Restarts the tune from the start when it has come to its end; nothing while paused.
    void poll();
    // Once no round runs the tune plays to its end and is not started again; asked now and then,
    // the device notices it is over and lets the sound output rest. Still counts as playing, so
    // 'a' stops it first, as it would while it sounds.
    void settle();

    const std::string& alias() const { return alias_; }
    bool isOpened() const { return opened_; }
    bool isPlaying() const { return playing_; }
    bool isPaused() const { return paused_; }
    // Where the tune stands, in MIDI ticks as text (where it waits, while paused); empty
    // while nothing is open.
    std::string position() const;
    // Whether the tune has been rendered into memory and plays from there.
    bool isRecorded() const { return device_ && device_->recorded(); }

private:
    void complain(const std::string& why);

    std::string alias_;
    std::vector<std::uint8_t> tune_;
    bool opened_ = false;
    bool playing_ = false;
    bool paused_ = false;
    std::string pausePosition_;

    AudioOutput* output_;
    std::string soundFont_;
    Sequencer::Playback playback_;
    std::unique_ptr<Sequencer> device_;
    bool complained_ = false;
};

} // namespace audio
