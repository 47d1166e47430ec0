#pragma once

#include <cstdint>

namespace audio {

// Whatever makes the music's samples: asked for interleaved 16-bit stereo frames whenever the
// output needs more. Called with the output's lock held, possibly on the output's own thread.
class SampleSource {
public:
    virtual ~SampleSource() = default;
    virtual void render(std::int16_t* interleavedStereo, int frames) = 0;
};

// Where the music goes: the sound card (the platform's device) or an offline renderer that the
// replay tool and the tests drive. An output pulls from at most one source; while it is not
// active it pulls nothing, so a silent game spends nothing on sound.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    virtual int sampleRate() const = 0;
    // The source to pull from, or nullptr. Call with the lock held.
    virtual void attach(SampleSource* source) = 0;
    // Starts or pauses pulling. Call without the lock held.
    virtual void setActive(bool active) = 0;
    // Keeps the source from being called while the game changes it.
    virtual void lock() = 0;
    virtual void unlock() = 0;

    // The output's clock in frames: how much time has gone by, whether anything was pulled or
    // not. The music keeps time with it across an output that went away for a while.
    virtual std::int64_t clockFrames() const = 0;
    // Whether the output plays as time goes by (a sound card) rather than when it is driven (a
    // renderer that must come out the same on every run).
    virtual bool realTime() const = 0;
};

// Holds an output's lock for one scope.
class OutputLock {
public:
    explicit OutputLock(AudioOutput& output) : output_(output) { output_.lock(); }
    ~OutputLock() { output_.unlock(); }
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

private:
    AudioOutput& output_;
};

// The game's one output, set up by the program before the music is prepared; nullptr when the
// game runs without sound.
AudioOutput* theAudioOutput();
void setTheAudioOutput(AudioOutput* output);

} // namespace audio

namespace audio {

// Makes an output the game's one for a scope (a run of the replay tool, a test).
class ScopedAudioOutput {
public:
    explicit ScopedAudioOutput(AudioOutput* output) : before_(theAudioOutput()) { setTheAudioOutput(output); }
    ~ScopedAudioOutput() { setTheAudioOutput(before_); }
    ScopedAudioOutput(const ScopedAudioOutput&) = delete;
    ScopedAudioOutput& operator=(const ScopedAudioOutput&) = delete;

private:
    AudioOutput* before_;
};

} // namespace audio
