#include "audio/Synth.h"

#include <fluidsynth.h>

#include <filesystem>

namespace audio {

namespace {

// FluidSynth writes its complaints to stderr by itself; the game says what matters in one line
// of its own instead.
void quietLog(int, const char*, void*) {}

// Once, before any other call into FluidSynth (the first synthesiser made waits here for it).
void prepareFluidSynth() {
    static const bool done = [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, quietLog, nullptr);
        // The game hands the synthesiser's samples to the sound card itself and uses none of
        // FluidSynth's audio drivers. Left registered, each new synthesiser's settings would
        // ask SDL for its audio devices from the rendering thread while the game's sound
        // keeper starts or stops SDL's audio on its own thread.
        const char* none[] = {nullptr};
        fluid_audio_driver_register(none);
        return true;
    }();
    (void)done;
}

} // namespace

std::unique_ptr<Synth> Synth::create(int sampleRate, const std::string& soundFont, std::string& error) {
    prepareFluidSynth();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(soundFont, ec) || !fluid_is_soundfont(soundFont.c_str())) {
        error = "no General MIDI sound font at " + soundFont;
        return nullptr;
    }
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings) {
        error = "cannot set up the synthesiser";
        return nullptr;
    }
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    // The tune's clock is the samples rendered, not the wall clock: it keeps time with any output.
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    // Locking the font into memory needs a privilege the game does not have, and gains nothing.
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // FluidSynth's default gain leaves the tune some 13 dB below full scale; twice that still
    // leaves room for the loudest chords without clipping.
    fluid_settings_setnum(settings, "synth.gain", 0.4);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth) {
        delete_fluid_settings(settings);
        error = "cannot set up the synthesiser";
        return nullptr;
    }
    if (fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        error = "cannot load the sound font " + soundFont;
        return nullptr;
    }
    return std::unique_ptr<Synth>(new Synth(settings, synth));
}

Synth::~Synth() {
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

} // namespace audio
