// Cost of the music: the synthesiser rendering the game's tune as the sound card pulls it, in
// buffers of 1024 frames at 44.1 kHz. The "cpuShare" counter is CPU seconds per second of music,
// the share of one core the synthesiser takes while a round plays.
#include "audio/MusicPlayer.h"
#include "audio/OfflineOutput.h"
#include "audio/Tune.h"

#include <benchmark/benchmark.h>

namespace {

void synthesiser(benchmark::State& state) {
    audio::OfflineOutput out;
    auto player = audio::MusicPlayer::prepare(audio::embeddedTune(), &out);
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

BENCHMARK(synthesiser)->Unit(benchmark::kMillisecond)->MinTime(5);
