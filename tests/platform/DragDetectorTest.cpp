#include "platform/DragDetector.h"

#include <gtest/gtest.h>

using gfx::RectI;
using platform::DragDetector;

namespace {
const RectI kStart{0, 0, 800, 584};
}

TEST(DragDetector, OneChangeEndsAfterTheQuietPeriod) {
    DragDetector drag(250'000);
    EXPECT_TRUE(drag.sizeChanged(1'000'000, kStart));
    EXPECT_TRUE(drag.dragging());
    EXPECT_EQ(drag.timeUntilEnd(1'000'000), 250'000);
    EXPECT_FALSE(drag.finish(1'249'999).has_value());
    const auto rect = drag.finish(1'250'000);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, kStart);
    EXPECT_FALSE(drag.dragging());
    EXPECT_FALSE(drag.finish(2'000'000).has_value());
}

TEST(DragDetector, ABurstIsOneDragThatKeepsItsFirstRectangle) {
    DragDetector drag(250'000);
    EXPECT_TRUE(drag.sizeChanged(0, kStart));
    EXPECT_FALSE(drag.sizeChanged(100'000, RectI{0, 0, 820, 584}));
    EXPECT_FALSE(drag.sizeChanged(300'000, RectI{0, 0, 850, 584}));
    // Each change restarts the quiet period.
    EXPECT_FALSE(drag.finish(500'000).has_value());
    EXPECT_EQ(drag.timeUntilEnd(500'000), 50'000);
    const auto rect = drag.finish(550'000);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, kStart);
}

TEST(DragDetector, ChangesAfterTheEndBeginANewDrag) {
    DragDetector drag(250'000);
    drag.sizeChanged(0, kStart);
    ASSERT_TRUE(drag.finish(250'000).has_value());
    const RectI second{0, 0, 1000, 730};
    EXPECT_TRUE(drag.sizeChanged(400'000, second));
    const auto rect = drag.finish(650'000);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, second);
}

TEST(DragDetector, NoDragBeforeAChangeNorAfterACancel) {
    DragDetector drag;
    for (int round = 0; round < 2; ++round) {
        EXPECT_FALSE(drag.dragging());
        EXPECT_EQ(drag.timeUntilEnd(0), -1);
        EXPECT_FALSE(drag.finish(10'000'000).has_value());
        drag.sizeChanged(0, kStart);
        drag.cancel();
    }
}

TEST(DragDetector, AHeldButtonKeepsAStillDragGoingUntilItIsReleased) {
    DragDetector drag(250'000);
    drag.sizeChanged(0, kStart);
    // The player holds the border still for a second: no end while the button is down.
    for (std::int64_t now = 250'000; now <= 1'000'000; now += DragDetector::kHoldPollUs) {
        ASSERT_EQ(drag.timeUntilEnd(now), 0) << now;
        EXPECT_FALSE(drag.finish(now, true).has_value()) << now;
        EXPECT_EQ(drag.timeUntilEnd(now), DragDetector::kHoldPollUs);
    }
    // Moving on after the pause is the same drag, measured from the same start.
    EXPECT_FALSE(drag.sizeChanged(1'100'000, RectI{0, 0, 900, 600}));
    EXPECT_FALSE(drag.finish(1'350'000, true).has_value());
    const auto rect = drag.finish(1'400'000, false);
    ASSERT_TRUE(rect.has_value());
    EXPECT_EQ(*rect, kStart);
}
