#include "audio/Sequencer.h"

#include <fluidsynth.h>

#include <charconv>
#include <cstring>
#include <filesystem>
#include <limits>

namespace audio {

namespace {

// A tune is a few kilobytes; anything far larger is not the game's tune.
constexpr std::size_t kLargestTune = 4u << 20;

std::uint32_t bigEndian(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | b[at + static_cast<std::size_t>(i)];
    return value;
}

// FluidSynth writes its complaints to stderr by itself; the game says what matters in one line
// of its own instead.
void quietLog(int, const char*, void*) {}

void silenceFluidSynthLog() {
    static const bool done = [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, quietLog, nullptr);
        return true;
    }();
    (void)done;
}

} // namespace

bool isWellFormedMidi(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0)
        return false;
    const std::uint32_t headerLength = bigEndian(bytes, 4, 4);
    const std::uint32_t format = bigEndian(bytes, 8, 2);
    const std::uint32_t tracks = bigEndian(bytes, 10, 2);
    const std::uint32_t division = bigEndian(bytes, 12, 2);
    // Formats 0 and 1 play as one song; a division in SMPTE frames (top bit set) is not used.
    if (headerLength < 6 || format > 1 || tracks == 0 || division == 0 || (division & 0x8000) != 0)
        return false;
    std::size_t at = 8 + static_cast<std::size_t>(headerLength);
    std::uint32_t trackChunks = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8)
            return false;
        const std::size_t length = bigEndian(bytes, at + 4, 4);
        if (length > bytes.size() - at - 8)
            return false;
        if (std::memcmp(bytes.data() + at, "MTrk", 4) == 0)
            ++trackChunks;
        at += 8 + length;
    }
    return trackChunks >= tracks;
}

std::unique_ptr<Sequencer> Sequencer::create(AudioOutput& output, const std::string& soundFont,
                                             std::string& error) {
    silenceFluidSynthLog();
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
    fluid_settings_setnum(settings, "synth.sample-rate", output.sampleRate());
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
    auto sequencer = std::unique_ptr<Sequencer>(new Sequencer(output, settings, synth));
    OutputLock lock(output);
    output.attach(sequencer.get());
    return sequencer;
}

Sequencer::Sequencer(AudioOutput& output, fluid_settings_t* settings, fluid_synth_t* synth)
    : output_(output), settings_(settings), synth_(synth) {}

Sequencer::~Sequencer() {
    output_.setActive(false);
    {
        OutputLock lock(output_);
        output_.attach(nullptr);
        dropPlayer();
    }
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

bool Sequencer::open(std::span<const std::uint8_t> tune, std::string& error) {
    std::vector<std::uint8_t> bytes(tune.begin(), tune.end());
    if (bytes.size() > kLargestTune || !isWellFormedMidi(bytes)) {
        error = "the tune is not a playable MIDI file";
        return false;
    }
    {
        OutputLock lock(output_);
        dropPlayer();
        fluid_synth_all_sounds_off(synth_, -1);
        tune_ = std::move(bytes);
        playing_ = false;
        quiet_ = true;
        lastTick_ = 0;
    }
    output_.setActive(false);
    return true;
}

bool Sequencer::playFrom(std::string_view position) {
    long tick = -1;
    const char* end = position.data() + position.size();
    const auto [ptr, ec] = std::from_chars(position.data(), end, tick);
    if (!isOpen() || position.empty() || ec != std::errc() || ptr != end || tick < 0 ||
        tick > std::numeric_limits<int>::max())
        return false;
    {
        OutputLock lock(output_);
        dropPlayer();
        fluid_synth_all_sounds_off(synth_, -1);
        player_ = new_fluid_player(synth_);
        if (!player_)
            return false;
        if (fluid_player_add_mem(player_, tune_.data(), tune_.size()) != FLUID_OK ||
            (tick > 0 && fluid_player_seek(player_, static_cast<int>(tick)) != FLUID_OK) ||
            fluid_player_play(player_) != FLUID_OK) {
            dropPlayer();
            return false;
        }
        startTick_ = tick;
        rendered_ = false;
        playing_ = true;
        quiet_ = false;
    }
    output_.setActive(true);
    return true;
}

void Sequencer::stop() {
    {
        OutputLock lock(output_);
        lastTick_ = currentTick();
        dropPlayer();
        fluid_synth_all_sounds_off(synth_, -1);
        playing_ = false;
        quiet_ = true;
    }
    output_.setActive(false);
}

std::string Sequencer::mode() {
    if (!isOpen())
        return {};
    bool silent = false;
    {
        OutputLock lock(output_);
        if (playing_ && reachedEnd())
            playing_ = false;
        if (playing_)
            return "playing";
        silent = quiet_;
    }
    // The tune is over and has died away: the output may rest until something plays again.
    if (silent)
        output_.setActive(false);
    return "stopped";
}

std::string Sequencer::position() {
    if (!isOpen())
        return {};
    OutputLock lock(output_);
    return std::to_string(player_ ? currentTick() : lastTick_);
}

void Sequencer::render(std::int16_t* out, int frames) {
    if (quiet_ && !playing_) {
        std::memset(out, 0, static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t));
        return;
    }
    fluid_synth_write_s16(synth_, frames, out, 0, 2, out, 1, 2);
    rendered_ = true;
    if (playing_ && reachedEnd())
        playing_ = false;
    // Once the last note has died away, silence is written without waking the synthesiser.
    if (!playing_ && fluid_synth_get_active_voice_count(synth_) == 0)
        quiet_ = true;
}

long Sequencer::currentTick() {
    if (!player_)
        return lastTick_;
    // Until the output has pulled samples, the player has not even loaded the file.
    return rendered_ ? fluid_player_get_current_tick(player_) : startTick_;
}

bool Sequencer::reachedEnd() {
    if (!player_ || !rendered_)
        return false;
    const int total = fluid_player_get_total_ticks(player_);
    return fluid_player_get_status(player_) == FLUID_PLAYER_DONE ||
           (total > 0 && fluid_player_get_current_tick(player_) >= total);
}

void Sequencer::dropPlayer() {
    if (!player_)
        return;
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
}

} // namespace audio
