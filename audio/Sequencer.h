#pragma once

#include "audio/AudioOutput.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace audio {

// A MIDI sequencer device with just what the music player asks of one: open a file, play from
// a position, stop, and report the mode and the position. FluidSynth does the synthesis with a
// General MIDI sound font; the tune advances with the samples the output pulls, so it keeps time
// with a sound card and with an offline renderer alike.
//
// Positions are MIDI ticks written as decimal text, the way a device answers a status query.
class Sequencer final : public SampleSource {
public:
    static constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

    // Loads the sound font and attaches to the output; on failure nothing, and one line for
    // the player in error.
    static std::unique_ptr<Sequencer> create(AudioOutput& output, const std::string& soundFont,
                                             std::string& error);
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

    void render(std::int16_t* interleavedStereo, int frames) override;

private:
    Sequencer(AudioOutput& output, fluid_settings_t* settings, fluid_synth_t* synth);
    // With the output's lock held.
    void dropPlayer();
    bool reachedEnd();
    long currentTick();

    AudioOutput& output_;
    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
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
};

// A Standard MIDI File's outline is sound: header, format, track count, a tick division, and
// every track chunk within the file.
bool isWellFormedMidi(const std::vector<std::uint8_t>& bytes);

} // namespace audio
