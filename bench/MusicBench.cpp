// Cost of the music as the sound card pulls it, in buffers of 1024 frames at 44.1 kHz: the
// synthesiser rendering the game's tune live, and the tune played from its recording in memory
// (the game's way once the recording is done). The "cpuShare" counter is CPU seconds per second
// of music, the share of one core the music takes while a round plays.
#include "audio/MusicPlayer.h"
#include "audio/OfflineOutput.h"
#include "audio/Tune.h"

#include <benchmark/benchmark.h>

namespace {

void music(benchmark::State& state, audio::Sequencer::Playback playback) {
    audio::OfflineOutput out;
    auto player = audio::MusicPlayer::prepare(audio::embeddedTune(), &out,
                                              audio::Sequencer::kDefaultSoundFont, playback);
    if (!player || !player->play()) {
        state.SkipWithError("no music: no sound font?");
        return;
    }
    constexpr int kBufferFrames = 1024;
    constexpr int kBuffersPerIteration = 43; // about one second of music
    const double secondsPerIteration = double(kBuffersPerIteration * kBufferFrames) / out.sampleRate();
    double musicSeconds = 0;
    double sincePlay = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBuffersPerIteration; ++i)
            out.renderFrames(kBufferFrames);
        musicSeconds += secondsPerIteration;
        sincePlay += secondsPerIteration;
        // Keep to the tune's running part: start again before it ends, and drop what was made.
        if (sincePlay > 50) {
            state.PauseTiming();
            out.discardSamples();
            state.ResumeTiming();
            player->play();
            sincePlay = 0;
        }
    }
    state.counters["cpuShare"] =
        benchmark::Counter(musicSeconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

void synthesiser(benchmark::State& state) {
    music(state, audio::Sequencer::Playback::live);
}
void fromMemory(benchmark::State& state) {
    music(state, audio::Sequencer::Playback::fromMemory);
}

BENCHMARK(synthesiser)->Unit(benchmark::kMillisecond)->MinTime(5);
BENCHMARK(fromMemory)->Unit(benchmark::kMillisecond)->MinTime(5);
