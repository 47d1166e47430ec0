#pragma once

#include "audio/AudioOutput.h"
#include "audio/RenderedTune.h"
#include "audio/Synth.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

typedef struct _fluid_player_t fluid_player_t;

namespace audio {

// A MIDI sequencer device with just what the music player asks of one: open a file, play from
// a position, stop, and report the mode and the position. FluidSynth does the synthesis with a
// General MIDI sound font; the tune advances with the samples the output pulls, so it keeps time
// with a sound card and with an offline renderer alike.
//
// Positions are MIDI ticks written as decimal text, the way a device answers a status query.
//
// Once a tune is open it is rendered whole into memory (in the background for a sound card, at
// once for an offline output, whose runs must come out the same every time), and from then on it
// plays from there: the synthesiser works only until the recording is done, and a tune playing
// live goes on from the recording at the very frame it has reached. Played from memory, the tune
// keeps time with the output's clock: after the output has been away (a sound server
// restarted), it goes on where it would have been, not where it was cut.
class Sequencer final : public SampleSource {
public:
    static constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    // How long the output may leave the music unpulled before the tune skips ahead to where it
    // would be: more than a stream takes to start, less than any outage.
    static constexpr int kLagAllowedMs = 500;

    enum class Playback {
        fromMemory, // rendered once, then played from memory (the game's way)
        live,       // always the synthesiser (to compare with, and to measure it)
    };

    // Loads the sound font and attaches to the output; on failure nothing, and one line for
    // the player in error.
    static std::unique_ptr<Sequencer> create(AudioOutput& output, const std::string& soundFont,
                                             std::string& error, Playback playback = Playback::fromMemory);
    ~Sequencer() override;
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    // Takes a copy of a Standard MIDI File and checks it; a broken one is refused here, not
    // when it plays. The synthesiser plays it from memory: no file is ever written or read.
    bool open(std::span<const std::uint8_t> tune, std::string& error);
    bool isOpen() const { return !tune_.empty(); }

    // Plays the open file from a tick position given as text; false for a position that is not
    // a number within the tune, or when nothing is open.
    bool playFrom(std::string_view position);
    // Stops at once: notes are cut, not left to ring.
    void stop();
    // "playing" or "stopped" ("stopped" too once the tune has reached its end); empty when no
    // file is open.
    std::string mode();
    // The current tick as text; empty when no file is open.
    std::string position();
    // Whether the tune's recording is done and plays from memory from now on.
    bool recorded();

    void render(std::int16_t* interleavedStereo, int frames) override;

private:
    Sequencer(AudioOutput& output, std::unique_ptr<Synth> synth, std::string soundFont, Playback playback);
    void stopRecording();
    // With the output's lock held.
    void dropPlayer();
    bool reachedEnd();
    long currentTick();
    const RenderedTune* recording();
    void handOverToMemory(const RenderedTune& tune);
    std::int64_t memoryFrame() const;
    void renderFromMemory(const RenderedTune& tune, std::int16_t* out, int frames);

    AudioOutput& output_;
    std::unique_ptr<Synth> synth_;
    const std::string soundFont_;
    const Playback playback_;
    fluid_player_t* player_ = nullptr;
    std::vector<std::uint8_t> tune_;
    // Our own account of playing: FluidSynth reports a stop and a natural end alike, and the
    // end only seconds late.
    bool playing_ = false;
    long startTick_ = 0;    // where the last play began
    long lastTick_ = 0;     // where the last stop happened
    bool rendered_ = false; // samples were pulled since the last play
    // Set once the synthesiser has gone quiet after a stop, so silence costs nothing.
    bool quiet_ = true;

    // The recording, made by recorder_ and handed over through finished_ and ready_ (set last);
    // taken into recording_ under the output's lock.
    std::thread recorder_;
    std::atomic<bool> cancelRecording_{false};
    std::atomic<bool> ready_{false};
    std::shared_ptr<const RenderedTune> finished_;
    std::shared_ptr<const RenderedTune> recording_;
    // Playing from memory: the next frame to hand out, and the output's clock when the next
    // pull is due (when the last one's frames have played).
    bool fromMemory_ = false;
    std::int64_t cursor_ = 0;
    std::int64_t nextPullClock_ = 0;
    // Where the last play began, as a frame of the recording (-1 until the recording is done).
    std::int64_t anchorFrame_ = -1;
    long anchorTick_ = 0;
    std::int64_t liveFrames_ = 0; // frames the synthesiser rendered since the last play
};

// A Standard MIDI File's outline is sound: header, format, track count, a tick division, and
// every track chunk within the file.
bool isWellFormedMidi(const std::vector<std::uint8_t>& bytes);

} // namespace audio
