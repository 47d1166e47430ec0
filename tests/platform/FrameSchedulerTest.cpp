#include "platform/FrameScheduler.h"

#include <gtest/gtest.h>

#include <vector>

using platform::FrameScheduler;

TEST(FrameScheduler, TicksOnePeriodAfterStartAndOnlyWhileRunning) {
    FrameScheduler frames;
    EXPECT_EQ(frames.timeUntilDue(0), -1);
    EXPECT_FALSE(frames.takeDue(1'000'000));
    frames.start(5'000);
    EXPECT_EQ(frames.timeUntilDue(5'000), 10'000);
    EXPECT_FALSE(frames.takeDue(14'999));
    EXPECT_EQ(frames.timeUntilDue(14'999), 1);
    EXPECT_TRUE(frames.takeDue(15'000));
    EXPECT_FALSE(frames.takeDue(15'000));
    // Starting a running timer keeps its deadline; stopping and starting begins a new period.
    frames.start(21'000);
    EXPECT_EQ(frames.timeUntilDue(21'000), 4'000);
    frames.stop();
    EXPECT_FALSE(frames.running());
    EXPECT_FALSE(frames.takeDue(50'000));
    EXPECT_EQ(frames.timeUntilDue(50'000), -1);
    frames.start(50'000);
    EXPECT_EQ(frames.timeUntilDue(50'000), 10'000);
}

TEST(FrameScheduler, LateWakeUpsDoNotDelayLaterDeadlines) {
    FrameScheduler frames(10'000, 0);
    frames.start(0);
    // Woken 3 ms late: the next deadline stays on the 10 ms grid.
    ASSERT_TRUE(frames.takeDue(13'000));
    EXPECT_EQ(frames.timeUntilDue(13'000), 7'000);
    ASSERT_TRUE(frames.takeDue(20'000));
    EXPECT_EQ(frames.timeUntilDue(20'000), 10'000);
}

TEST(FrameScheduler, ATickAfterALateOneWaitsForTheMinimumGap) {
    FrameScheduler frames(10'000, 9'920);
    frames.start(0);
    ASSERT_TRUE(frames.takeDue(13'000));
    EXPECT_EQ(frames.timeUntilDue(13'000), 9'920);
    EXPECT_FALSE(frames.takeDue(22'919));
    EXPECT_TRUE(frames.takeDue(22'920));
    // The grid has not moved: the next deadline (30 ms) is again held off by the gap.
    EXPECT_EQ(frames.timeUntilDue(22'920), 9'920);
}

TEST(FrameScheduler, KeepsTheRateAndTheGapAfterALateTickAndOverJitteryWakeUps) {
    for (const int jitter : {0, 1}) {
        FrameScheduler frames;
        frames.start(0);
        ASSERT_TRUE(frames.takeDue(13'000)); // a late first tick
        std::int64_t now = 13'000;
        std::int64_t last = now;
        int ticks = 1;
        // Wake up whenever told, plus a jitter of 0 to 0.4 ms, for one simulated second.
        for (int i = 0; now < 1'000'000; ++i) {
            now += frames.timeUntilDue(now) + jitter * (i * 7 % 5) * 100;
            if (frames.takeDue(now)) {
                EXPECT_GE(now - last, 9'920) << jitter;
                last = now;
                ++ticks;
            }
        }
        EXPECT_GE(ticks, 98) << jitter;
        EXPECT_LE(ticks, 100) << jitter;
        if (jitter == 0) { // back on the 10 ms grid within the second, with no tick lost
            EXPECT_EQ(now % 10'000, 0);
            EXPECT_EQ(ticks, 100);
        }
    }
}

TEST(FrameScheduler, SkipsAheadInsteadOfBurstingAfterAStall) {
    FrameScheduler frames;
    frames.start(0);
    ASSERT_TRUE(frames.takeDue(10'000));
    // Stalled for half a second (a modal box): one tick, then back to the normal period.
    EXPECT_TRUE(frames.takeDue(510'000));
    EXPECT_FALSE(frames.takeDue(510'000));
    EXPECT_EQ(frames.timeUntilDue(510'000), 10'000);
}

TEST(FrameScheduler, BadPeriodAndGapAreCorrected) {
    EXPECT_EQ(FrameScheduler(0).period(), FrameScheduler::kDefaultPeriodUs);
    FrameScheduler frames(10'000, 50'000); // the gap never exceeds the period
    frames.start(0);
    ASSERT_TRUE(frames.takeDue(10'000));
    EXPECT_EQ(frames.timeUntilDue(10'000), 10'000);
}
