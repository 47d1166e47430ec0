#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace audio {

// The whole tune rendered once, from its first tick through its end until the last note has
// died away, as 16-bit stereo in memory. The tune never changes and loops for as long as a round
// runs, so playing it back from here sounds exactly like the synthesiser and costs next to
// nothing; and any moment of it can be reached at once, which the synthesiser cannot do.
class RenderedTune {
public:
    // Frames between two entries of the table of ticks: one of the synthesiser's own blocks.
    static constexpr int kTickStep = 64;

    // Renders the tune with the game's sound font at a rate, or hands back the one rendered
    // before with the same tune, font and rate. Nothing, and a line in error, when the
    // synthesiser cannot be set up, or when cancel is set before the end.
    static std::shared_ptr<const RenderedTune> render(std::span<const std::uint8_t> tune,
                                                      const std::string& soundFont, int sampleRate,
                                                      const std::atomic<bool>* cancel, std::string& error);

    int sampleRate() const { return sampleRate_; }
    // Frames of sound in memory, the notes' ring-out after the end included.
    std::int64_t frames() const { return static_cast<std::int64_t>(samples_.size() / 2); }
    // The first frame at which the tune has reached its end (the sequencer reports it stopped).
    std::int64_t endFrame() const { return endFrame_; }
    std::size_t bytes() const {
        return samples_.size() * sizeof(std::int16_t) + ticks_.size() * sizeof(std::int32_t);
    }

    // The first frame at which a tick has been reached (the end for ticks beyond it).
    std::int64_t frameOfTick(long tick) const;
    // The tick reached at a frame.
    long tickAt(std::int64_t frame) const;
    // Copies frames from a frame on; silence where the recording has ended.
    void copy(std::int64_t from, std::int16_t* interleavedStereo, int frames) const;

private:
    int sampleRate_ = 0;
    std::vector<std::int16_t> samples_;
    std::vector<std::int32_t> ticks_; // the tick reached at every kTickStep-th frame
    std::int64_t endFrame_ = 0;
};

} // namespace audio
