#include "AudioTestSupport.h"
#include "audio/MusicPlayer.h"
#include "audio/RenderedTune.h"
#include "audio/Tune.h"

#include <chrono>
#include <thread>

using audio::MusicPlayer;
using audio::OfflineOutput;
using audio::Sequencer;
using namespace audiotest;

namespace {

constexpr int kRate = 44'100;
constexpr std::int64_t kSecond = kRate;

// Where two runs of samples differ, and by how much at most.
struct Difference {
    std::int64_t samples = 0;
    int largest = 0;
    std::int64_t firstFrame = -1;
    std::int64_t lastFrame = -1;
};

Difference compare(const std::vector<std::int16_t>& a, std::size_t aFrom, const std::vector<std::int16_t>& b,
                   std::size_t bFrom, std::size_t count) {
    Difference d;
    for (std::size_t i = 0; i < count; ++i) {
        const int delta = std::abs(a.at(aFrom + i) - b.at(bFrom + i));
        d.samples += delta != 0;
        if (delta != 0) {
            if (d.firstFrame < 0)
                d.firstFrame = static_cast<std::int64_t>(i / 2);
            d.lastFrame = static_cast<std::int64_t>(i / 2);
        }
        d.largest = std::max(d.largest, delta);
    }
    return d;
}

// The tune as a round plays it from memory without a break: the reference for what follows.
const std::vector<std::int16_t>& continuousFromMemory() {
    static const std::vector<std::int16_t> samples = [] {
        OfflineOutput out;
        auto player = MusicPlayer::prepare(audio::embeddedTune(), &out);
        EXPECT_TRUE(player->play());
        renderSeconds(out, 70);
        EXPECT_TRUE(player->isRecorded());
        return out.samples();
    }();
    return samples;
}

TEST(TuneRecording, FromMemoryTheTuneSoundsAsTheSynthesiserPlaysIt) {
    OfflineOutput out;
    auto live = MusicPlayer::prepare(audio::embeddedTune(), &out, Sequencer::kDefaultSoundFont,
                                     Sequencer::Playback::live);
    ASSERT_TRUE(live->play());
    // The whole tune, its last notes dying away and some silence after, asked for block by
    // block as the recording is made. (Asked for more at once, the synthesiser starts some notes
    // a block of 64 frames later, by an amount that varies with the size asked for: 441 and
    // 1024 frames differ from each other as much as either differs from the recording.)
    while (out.frameCount() < 70 * kSecond)
        out.renderFrames(audio::RenderedTune::kTickStep);
    EXPECT_FALSE(live->isRecorded());
    const auto& fromMemory = continuousFromMemory();
    ASSERT_GE(out.samples().size(), fromMemory.size());
    const Difference d = compare(out.samples(), 0, fromMemory, 0, fromMemory.size());
    EXPECT_EQ(d.samples, 0) << "largest difference " << d.largest << " from frame " << d.firstFrame << " to "
                            << d.lastFrame;
    EXPECT_GT(peakFrom(out, 0), kAudible);

    // The recording holds the tune to its end and the notes' ring-out, and no more.
    std::string error;
    const auto tune = audio::RenderedTune::render(audio::embeddedTune(), Sequencer::kDefaultSoundFont, kRate,
                                                  nullptr, error);
    ASSERT_TRUE(tune) << error;
    EXPECT_GT(tune->endFrame(), 50 * kSecond);
    EXPECT_LT(tune->frames(), tune->endFrame() + 10 * kSecond);
    std::int16_t last[2 * 64];
    tune->copy(tune->frames() - 64, last, 64);
    EXPECT_LT(*std::max_element(last, last + 128), kAudible / 10);
}

// The sound server went away mid-tune for a while and came back.
struct Outage {
    const char* name;
    double gapSeconds;
    // Seconds into the tune the sound goes on from: where it was cut after a hiccup shorter
    // than a stream's start, where it would have been after an outage, and from the start
    // (once the poll has found the tune over) after one longer than the tune.
    double resumesAt;
    bool restartedByPoll;
};

TEST(TuneRecording, AfterTheOutputWasAwayTheTuneGoesOnWhereItWouldHaveBeen) {
    const auto& reference = continuousFromMemory();
    const Outage cases[] = {
        {"a hiccup", 0.2, 10, false},
        {"a restarted server", 5, 15, false},
        {"the server away for longer than the tune", 80, 0, true},
    };
    for (const Outage& c : cases) {
        SCOPED_TRACE(c.name);
        OfflineOutput out;
        auto player = MusicPlayer::prepare(audio::embeddedTune(), &out);
        ASSERT_TRUE(player->play());
        renderSeconds(out, 10);
        out.missFrames(static_cast<std::int64_t>(c.gapSeconds * kRate));
        EXPECT_EQ(player->isPlaying(), true);
        const long reportedTick = std::stol(player->position());
        player->poll();
        const std::int64_t from = out.frameCount();
        renderSeconds(out, 2);
        const auto resumed = static_cast<std::size_t>(c.resumesAt * kRate) * 2;
        const Difference d =
            compare(out.samples(), static_cast<std::size_t>(from) * 2, reference, resumed, 2 * kSecond * 2);
        EXPECT_EQ(d.samples, 0) << "largest difference " << d.largest << " from frame " << d.firstFrame
                                << " to " << d.lastFrame;
        EXPECT_GT(peakFrom(out, from), kAudible);
        if (!c.restartedByPoll) {
            // 160 beats a minute at 256 ticks a beat.
            EXPECT_NEAR(reportedTick, c.resumesAt * 160 * 256 / 60, 20);
        }
    }
}

TEST(TuneRecording, AnOutputThatPullsALittleLateEveryTimeNeverMakesTheTuneSkip) {
    // Like SDL's file driver on a busy machine: each pull comes 7 % late.
    OfflineOutput out;
    auto player = MusicPlayer::prepare(audio::embeddedTune(), &out);
    ASSERT_TRUE(player->play());
    for (int step = 0; step < 1000; ++step) {
        out.renderFrames(441);
        out.missFrames(31);
    }
    const Difference d = compare(out.samples(), 0, continuousFromMemory(), 0, out.samples().size());
    EXPECT_EQ(d.samples, 0) << "largest difference " << d.largest << " from frame " << d.firstFrame;
}

// An output that plays in real time as far as the music can tell, driven by the test.
class CardLikeOutput final : public audio::AudioOutput {
public:
    explicit CardLikeOutput(int rate) : inner_(rate) {}
    int sampleRate() const override { return inner_.sampleRate(); }
    void attach(audio::SampleSource* source) override { inner_.attach(source); }
    void setActive(bool active) override { inner_.setActive(active); }
    void lock() override {}
    void unlock() override {}
    std::int64_t clockFrames() const override { return inner_.clockFrames(); }
    bool realTime() const override { return true; }
    OfflineOutput inner_;
};

TEST(TuneRecording, ATuneStartedBeforeItsRecordingIsDoneChangesOverWithoutASeam) {
    // A rate of its own, so that no recording of the tune is at hand from another test.
    constexpr int kOddRate = 32'000;
    CardLikeOutput out(kOddRate);
    auto player = MusicPlayer::prepare(audio::embeddedTune(), &out);
    ASSERT_TRUE(player->play());
    // The recording takes seconds; the tune plays at once, from the synthesiser.
    EXPECT_FALSE(player->isRecorded());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!player->isRecorded() && std::chrono::steady_clock::now() < deadline) {
        if (out.inner_.frameCount() < 5 * kOddRate)
            out.inner_.renderFrames(kOddRate / 100);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(player->isRecorded());
    out.inner_.renderFrames(20 * kOddRate);

    std::string error;
    const auto tune = audio::RenderedTune::render(audio::embeddedTune(), Sequencer::kDefaultSoundFont,
                                                  kOddRate, nullptr, error);
    ASSERT_TRUE(tune) << error;
    std::vector<std::int16_t> reference(out.inner_.samples().size());
    tune->copy(0, reference.data(), static_cast<int>(reference.size() / 2));
    const Difference d = compare(out.inner_.samples(), 0, reference, 0, reference.size());
    EXPECT_EQ(d.samples, 0) << "largest difference " << d.largest << " from frame " << d.firstFrame << " to "
                            << d.lastFrame;
}

} // namespace
