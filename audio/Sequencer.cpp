#include "audio/Sequencer.h"

#include <fluidsynth.h>

#include <charconv>
#include <cstring>
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
                                             std::string& error, Playback playback) {
    auto synth = Synth::create(output.sampleRate(), soundFont, error);
    if (!synth)
        return nullptr;
    auto sequencer = std::unique_ptr<Sequencer>(new Sequencer(output, std::move(synth), soundFont, playback));
    OutputLock lock(output);
    output.attach(sequencer.get());
    return sequencer;
}

Sequencer::Sequencer(AudioOutput& output, std::unique_ptr<Synth> synth, std::string soundFont,
                     Playback playback)
    : output_(output), synth_(std::move(synth)), soundFont_(std::move(soundFont)), playback_(playback) {}

Sequencer::~Sequencer() {
    stopRecording();
    output_.setActive(false);
    {
        OutputLock lock(output_);
        output_.attach(nullptr);
        dropPlayer();
    }
}

void Sequencer::stopRecording() {
    if (!recorder_.joinable())
        return;
    cancelRecording_ = true;
    recorder_.join();
    cancelRecording_ = false;
}

bool Sequencer::open(std::span<const std::uint8_t> tune, std::string& error) {
    std::vector<std::uint8_t> bytes(tune.begin(), tune.end());
    if (bytes.size() > kLargestTune || !isWellFormedMidi(bytes)) {
        error = "the tune is not a playable MIDI file";
        return false;
    }
    stopRecording();
    {
        OutputLock lock(output_);
        dropPlayer();
        fluid_synth_all_sounds_off(synth_->get(), -1);
        tune_ = std::move(bytes);
        playing_ = false;
        quiet_ = true;
        lastTick_ = 0;
        fromMemory_ = false;
        recording_.reset();
        finished_.reset();
        ready_ = false;
    }
    output_.setActive(false);
    // A run rendered offline must sound the same every time: rather than start live and change
    // over whenever the recording is done, it records the tune when it first plays.
    if (playback_ == Playback::live || !output_.realTime())
        return true;
    const int rate = output_.sampleRate();
    // The game goes on at once; the tune plays live until its recording is done. The recording
    // runs at the game's own priority: held back on a busy machine, it would only leave the
    // synthesiser playing live, and costing as much, for longer.
    recorder_ = std::thread([this, tune = tune_, rate] {
        std::string why;
        auto rendered = RenderedTune::render(tune, soundFont_, rate, &cancelRecording_, why);
        if (rendered) {
            finished_ = std::move(rendered);
            ready_.store(true, std::memory_order_release);
        }
    });
    return true;
}

bool Sequencer::playFrom(std::string_view position) {
    long tick = -1;
    const char* end = position.data() + position.size();
    const auto [ptr, ec] = std::from_chars(position.data(), end, tick);
    if (!isOpen() || position.empty() || ec != std::errc() || ptr != end || tick < 0 ||
        tick > std::numeric_limits<int>::max())
        return false;
    if (playback_ == Playback::fromMemory && !output_.realTime() && !ready_) {
        std::string why;
        finished_ = RenderedTune::render(tune_, soundFont_, output_.sampleRate(), nullptr, why);
        ready_ = finished_ != nullptr;
    }
    {
        OutputLock lock(output_);
        dropPlayer();
        fluid_synth_all_sounds_off(synth_->get(), -1);
        nextPullClock_ = output_.clockFrames();
        anchorTick_ = tick;
        liveFrames_ = 0;
        if (const RenderedTune* tune = recording()) {
            fromMemory_ = true;
            cursor_ = anchorFrame_ = tune->frameOfTick(tick);
        } else {
            fromMemory_ = false;
            // From the start the live tune's frames are the recording's, exactly.
            anchorFrame_ = tick == 0 ? 0 : -1;
            player_ = new_fluid_player(synth_->get());
            if (!player_)
                return false;
            if (fluid_player_add_mem(player_, tune_.data(), tune_.size()) != FLUID_OK ||
                (tick > 0 && fluid_player_seek(player_, static_cast<int>(tick)) != FLUID_OK) ||
                fluid_player_play(player_) != FLUID_OK) {
                dropPlayer();
                return false;
            }
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
        fluid_synth_all_sounds_off(synth_->get(), -1);
        fromMemory_ = false;
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
    return std::to_string(player_ || fromMemory_ ? currentTick() : lastTick_);
}

bool Sequencer::recorded() {
    OutputLock lock(output_);
    return recording() != nullptr;
}

void Sequencer::render(std::int16_t* out, int frames) {
    const RenderedTune* tune = recording();
    if (tune && player_ && playing_)
        handOverToMemory(*tune);
    if (fromMemory_) {
        renderFromMemory(*tune, out, frames);
        return;
    }
    if (quiet_ && !playing_) {
        std::memset(out, 0, static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t));
        return;
    }
    fluid_synth_write_s16(synth_->get(), frames, out, 0, 2, out, 1, 2);
    rendered_ = true;
    liveFrames_ += frames;
    nextPullClock_ = output_.clockFrames() + frames;
    if (playing_ && reachedEnd())
        playing_ = false;
    // Once the last note has died away, silence is written without waking the synthesiser.
    if (!playing_ && fluid_synth_get_active_voice_count(synth_->get()) == 0)
        quiet_ = true;
}

const RenderedTune* Sequencer::recording() {
    if (!recording_ && ready_.load(std::memory_order_acquire))
        recording_ = finished_;
    return recording_.get();
}

void Sequencer::handOverToMemory(const RenderedTune& tune) {
    if (anchorFrame_ < 0)
        anchorFrame_ = tune.frameOfTick(anchorTick_);
    cursor_ = anchorFrame_ + liveFrames_;
    dropPlayer();
    fluid_synth_all_sounds_off(synth_->get(), -1);
    fromMemory_ = true;
}

std::int64_t Sequencer::memoryFrame() const {
    // An output pulls a little early or late as it buffers, and a slow one falls behind the
    // clock bit by bit; only a long wait for the next pull means it was away, and for that long
    // the tune would have gone on.
    const std::int64_t away = output_.clockFrames() - nextPullClock_;
    const std::int64_t allowed = std::int64_t{output_.sampleRate()} * kLagAllowedMs / 1000;
    return away > allowed ? cursor_ + away : cursor_;
}

void Sequencer::renderFromMemory(const RenderedTune& tune, std::int16_t* out, int frames) {
    cursor_ = memoryFrame();
    tune.copy(cursor_, out, frames);
    cursor_ += frames;
    nextPullClock_ = output_.clockFrames() + frames;
    if (playing_ && cursor_ >= tune.endFrame())
        playing_ = false;
    quiet_ = !playing_ && cursor_ >= tune.frames();
}

long Sequencer::currentTick() {
    if (fromMemory_)
        return recording_->tickAt(memoryFrame());
    if (!player_)
        return lastTick_;
    // Until the output has pulled samples, the player has not even loaded the file.
    return rendered_ ? fluid_player_get_current_tick(player_) : startTick_;
}

bool Sequencer::reachedEnd() {
    if (fromMemory_)
        return memoryFrame() >= recording_->endFrame();
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
