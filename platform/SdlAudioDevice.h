#pragma once

#include "audio/AudioOutput.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The sound card through SDL: 16-bit stereo pulled by SDL's audio thread from the attached
// source. It starts paused and is paused again whenever nothing plays, so an idle game costs
// no CPU for sound.
class SdlAudioDevice final : public audio::AudioOutput {
public:
    static constexpr int kPreferredRate = 44'100;

    // The device, or nothing and one line for the player in error (the game then plays silently).
    static std::unique_ptr<SdlAudioDevice> open(std::string& error);
    ~SdlAudioDevice() override;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    int sampleRate() const override { return rate_; }
    void attach(audio::SampleSource* source) override { source_ = source; }
    void setActive(bool active) override;
    void lock() override;
    void unlock() override;

    bool active() const { return active_; }

private:
    SdlAudioDevice() = default;
    static void fill(void* self, std::uint8_t* stream, int bytes);

    std::uint32_t id_ = 0;
    int rate_ = kPreferredRate;
    audio::SampleSource* source_ = nullptr;
    bool active_ = false;
};

} // namespace platform
