#include "Probe.h"
#include "game/GameHost.h"

#include "scene/World.h"
#include "widgets/TextBox.h"

#include <gtest/gtest.h>

#include <numeric>

namespace game {

namespace {

// A host with one probe in the objectList, the clock started by a first timer call.
struct FrameCycle : ::testing::Test {
    GameHost host;
    Probe probe;

    FrameCycle() {
        probe.registerInGame(host.game.world());
        host.timerCall(0); // starts the measurement
    }
    long long presents() const { return host.window.presentCount(); }
};

TEST_F(FrameCycle, CallsWithinTheThresholdWaitAndALongStallAdvancesEightyMilliseconds) {
    host.timerCall(5000);
    host.timerCall(4899); // 9.899 ms since the last frame
    EXPECT_TRUE(probe.steps.empty());
    host.timerCall(1); // 9.9 ms
    ASSERT_EQ(probe.steps.size(), 1u);
    EXPECT_DOUBLE_EQ(probe.steps[0], 0.0099);
    EXPECT_EQ(host.game.simulatedFrames(), 1);

    host.timerCall(40LL * 60 * 1'000'000); // minimised for 40 minutes
    ASSERT_EQ(probe.steps.size(), 2u);
    EXPECT_DOUBLE_EQ(probe.steps[1], 0.08);
    // The interval is held as a clamped sample; the running sum does not wrap.
    EXPECT_GT(host.game.frameSampleSum, 0);
    EXPECT_EQ(host.game.frameSamples.back(), std::numeric_limits<std::int32_t>::max());
    EXPECT_GT(host.game.framesPerSecond(), 0);
}

TEST_F(FrameCycle, PausedTicksDoNothingButAForcedStepAdvancesAndRepaints) {
    host.game.world().settings().paused = true;
    const std::size_t samples = host.game.frameSamples.size();
    host.run(5);
    EXPECT_TRUE(probe.steps.empty());
    EXPECT_EQ(host.game.frameSamples.size(), samples);

    probe.moveTo(300, 300);
    const long long before = presents();
    EXPECT_EQ(host.game.onKey(U's'), Game::KeyAction::None);
    ASSERT_EQ(probe.steps.size(), 1u);
    EXPECT_DOUBLE_EQ(probe.steps[0], 0.08);
    EXPECT_EQ(presents(), before + 1);
    EXPECT_TRUE(host.game.world().settings().cheatUsed);
}

TEST_F(FrameCycle, SamplesKeepTheLastFiftyAndTheirSum) {
    // Every timer call leaves a sample, measured from the last frame, even without a frame.
    const std::size_t before = host.game.frameSamples.size();
    host.timerCall(3000);
    host.timerCall(3000);
    EXPECT_EQ(host.game.frameSamples.size(), before + 2);
    EXPECT_EQ(host.game.frameSamples.back(), 6000);
    for (int i = 1; i <= 70; ++i)
        host.timerCall(i < 60 ? 10'000 : 20'000);
    const auto& samples = host.game.frameSamples;
    ASSERT_EQ(samples.size(), Game::frameSampleLimit);
    EXPECT_EQ(std::accumulate(samples.begin(), samples.end(), std::int64_t{0}), host.game.frameSampleSum);
    EXPECT_EQ(samples.back(), 20'000);
    // 39 intervals of 10 ms and 11 of 20 ms.
    EXPECT_NEAR(host.game.framesPerSecond(), 1e6 / ((39 * 10'000.0 + 11 * 20'000.0) / 50), 1e-9);
}

TEST_F(FrameCycle, ObjectsAppendedDuringAPassAreUpdatedInIt) {
    Probe late;
    probe.onUpdate = [&] {
        const std::vector<Object*>& objects = host.game.world().objects().objectList();
        if (late.steps.empty() && std::find(objects.begin(), objects.end(), &late) == objects.end())
            late.registerInGame(host.game.world());
    };
    host.timerCall();
    EXPECT_EQ(late.steps.size(), 1u);
}

TEST_F(FrameCycle, StatusBoxShowsTheFrameRateEveryNinthCall) {
    host.game.onKey(U'f');
    host.game.onKey(U'f'); // hudMode 2
    ASSERT_EQ(host.game.world().settings().hudMode, 2);
    host.run(8);
    EXPECT_EQ(host.game.messageBox().text(), "");
    host.run(1);
    EXPECT_EQ(host.game.messageBox().text(), "100.00 f/s");
    EXPECT_EQ(Game::formatFrameRate(64.1), "64.10 f/s");
    EXPECT_EQ(Game::formatFrameRate(99.996), "100.00 f/s");
}

TEST(FrameRate, FirstCallsSimulateNothingAndGiveNoRate) {
    GameHost host;
    Probe probe;
    probe.registerInGame(host.game.world());
    host.game.world().settings().hudMode = 2;
    const long long before = host.window.presentCount();
    host.timerCall();
    EXPECT_TRUE(probe.steps.empty());
    EXPECT_EQ(host.game.simulatedFrames(), 0);
    EXPECT_EQ(host.window.presentCount(), before);
    // Nine calls on a clock that does not move: a mean interval of 0 is no frame rate.
    for (int i = 0; i < 8; ++i)
        host.timerCall(0);
    EXPECT_EQ(host.game.framesPerSecond(), 0.0);
    EXPECT_EQ(host.game.messageBox().text(), "msg");
}

} // namespace

} // namespace game
