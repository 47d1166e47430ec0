#pragma once

#include <memory>
#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace audio {

// One FluidSynth synthesiser with the General MIDI sound font loaded, set up the one way the
// game's music is made: the live sequencer and the background recording of the tune use the
// same settings, so both sound alike sample for sample.
class Synth {
public:
    // Nothing, and one line for the player in error, without the font or the synthesiser.
    static std::unique_ptr<Synth> create(int sampleRate, const std::string& soundFont, std::string& error);
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    fluid_synth_t* get() const { return synth_; }

private:
    Synth(fluid_settings_t* settings, fluid_synth_t* synth) : settings_(settings), synth_(synth) {}
    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
};

} // namespace audio
