#pragma once

#include "audio/AudioOutput.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct SDL_Thread;

namespace platform {

// The sound card through SDL: 16-bit stereo pulled by SDL's audio thread from the attached
// source. The stream to the sound server is open only while music is wanted, and a few seconds
// after: a game in its menu, paused or with the music off holds no stream, so neither the game
// nor the sound server spends anything on sound. A keeper thread closes the idle stream, notices
// a stream the server has dropped or stopped asking for samples (it was restarted, or the output
// moved away), says so, and
// opens a new one every few seconds while the music is wanted, until a server answers again.
class SdlAudioDevice final : public audio::AudioOutput {
public:
    static constexpr int kPreferredRate = 44'100;
    // What the desktop's volume control shows for the game and its one stream.
    static constexpr const char* kApplicationName = "Hearthly";
    static constexpr const char* kStreamName = "Music";

    struct Timing {
        // Silence kept open after the music stops: a pause or 'a' pressed twice does not reopen.
        std::chrono::milliseconds releaseAfter{3'000};
        // How often an open stream is checked for having been dropped.
        std::chrono::milliseconds watchEvery{500};
        // How often a new stream is tried while the music is wanted and no server answers.
        std::chrono::milliseconds retryEvery{2'000};
        // A playing stream not asked for samples this long is taken for dropped: SDL's PipeWire
        // driver says nothing when the server goes away, it just stops asking.
        std::chrono::milliseconds stalledAfter{2'000};
    };

    // Finds a sound system that opens a stream: the drivers SDL_AUDIODRIVER lists, else SDL's
    // own in SDL's order, up to the first whose system is there. Without one, nothing, and one
    // line for the player in error naming each driver tried and why it failed (the game then
    // plays silently).
    static std::unique_ptr<SdlAudioDevice> open(std::string& error);
    static std::unique_ptr<SdlAudioDevice> open(std::string& error, Timing timing);
    ~SdlAudioDevice() override;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    int sampleRate() const override { return rate_; }
    void attach(audio::SampleSource* source) override { source_ = source; }
    void setActive(bool active) override;
    void lock() override;
    void unlock() override;
    std::int64_t clockFrames() const override;
    bool realTime() const override { return true; }

    // Whether music is wanted: the stream plays, or is being brought back.
    bool active() const;
    // Whether a stream to the sound server is open at the moment.
    bool streamOpen() const;
    // The SDL driver the music goes through; empty until one answers.
    std::string driver() const;

private:
    using Clock = std::chrono::steady_clock;

    explicit SdlAudioDevice(Timing timing) : timing_(timing) {}
    static void fill(void* self, std::uint8_t* stream, int bytes);
    // With deviceMutex_ held. A stream at the rate the synthesiser was set up for, paused.
    std::uint32_t openStream(bool firstTime, std::string& error);
    // Tries the drivers in turn and opens a stream with the first whose sound system is there;
    // 0 when none does, each one tried added to tried. Without deviceMutex_ held.
    std::uint32_t startDriver(bool firstTime, std::string& driver, std::string& tried);
    void keep();

    const Timing timing_;
    std::vector<std::string> drivers_;
    int rate_ = kPreferredRate;

    // Held by the game while it changes the source, and by SDL's audio thread while it pulls.
    std::mutex sourceMutex_;
    audio::SampleSource* source_ = nullptr;

    // Guards everything below; never held while waiting for sourceMutex_.
    mutable std::mutex deviceMutex_;
    std::condition_variable wake_;
    std::uint32_t id_ = 0;
    // The SDL driver that answered; empty while none has, and SDL's audio is not started.
    std::string driver_;
    bool wanted_ = false;
    bool lost_ = false;
    bool quit_ = false;
    Clock::time_point silentSince_ = Clock::now();
    Clock::time_point nextTry_ = Clock::now();
    // When the stream last started playing, and (set by SDL's audio thread) last pulled samples.
    Clock::time_point playingSince_ = Clock::now();
    std::atomic<Clock::rep> lastPull_{0};
    // An SDL thread: SDL frees what it keeps for a thread (its error text) when one of its own
    // ends, and the keeper's failed tries leave such texts behind.
    SDL_Thread* keeper_ = nullptr;
};

} // namespace platform
