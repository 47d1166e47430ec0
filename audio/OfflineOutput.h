#pragma once

#include "audio/AudioOutput.h"

#include <cstdint>
#include <vector>

namespace audio {

// An output with no sound card: samples are made only when asked for and collected in memory.
// The replay tool advances it with its virtual clock, so a run's music can be listened to later.
class OfflineOutput final : public AudioOutput {
public:
    explicit OfflineOutput(int sampleRate = 44'100) : sampleRate_(sampleRate) {}

    int sampleRate() const override { return sampleRate_; }
    void attach(SampleSource* source) override { source_ = source; }
    void setActive(bool active) override { active_ = active; }
    void lock() override {}
    void unlock() override {}
    std::int64_t clockFrames() const override { return clock_; }
    bool realTime() const override { return false; }

    bool active() const { return active_; }
    // Renders the frames that fall into the next span of time (silence while inactive). The
    // fractions of a frame are carried over, so many short steps add up exactly.
    void advanceMicroseconds(std::int64_t microseconds);
    // Renders exactly this many frames.
    void renderFrames(int frames);
    // Lets time pass with nothing pulled, as while a sound server is away; the frames are not
    // kept.
    void missFrames(std::int64_t frames) { clock_ += frames; }

    // Everything rendered so far, interleaved stereo.
    const std::vector<std::int16_t>& samples() const { return samples_; }
    std::int64_t frameCount() const { return static_cast<std::int64_t>(samples_.size() / 2); }
    // Forgets what was rendered, for runs too long to keep.
    void discardSamples() { samples_.clear(); }

private:
    int sampleRate_;
    SampleSource* source_ = nullptr;
    bool active_ = false;
    std::int64_t pendingMicroFrames_ = 0; // frames x 1e6 not yet rendered
    std::int64_t clock_ = 0;
    std::vector<std::int16_t> samples_;
};

} // namespace audio
