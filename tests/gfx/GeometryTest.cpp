#include "gfx/Geometry.h"

#include <gtest/gtest.h>

namespace {

using gfx::RectF;
using gfx::RectI;

// Overlap and intersection agree with each other and do not depend on the order of the two:
// rectangles that touch along an edge or at a corner share nothing.
TEST(Geometry, OverlapAndIntersectionAgreeAndIgnoreOrder) {
    const RectF base{10, 10, 20, 10};
    const struct {
        RectF other;
        RectF meeting; // empty when they do not overlap
    } cases[] = {
        {{15, 12, 4, 4}, {15, 12, 4, 4}},  // inside
        {{25, 5, 20, 10}, {25, 10, 5, 5}}, // across a corner
        {{0, 0, 100, 100}, base},          // around it
        {{30, 10, 5, 10}, {}},             // touching the right edge
        {{10, 20, 20, 5}, {}},             // touching the bottom edge
        {{30, 20, 5, 5}, {}},              // touching a corner only
        {{-50, -50, 5, 5}, {}},            // far away
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gfx::intersection(base, c.other), c.meeting) << c.other.x << "," << c.other.y;
        EXPECT_EQ(gfx::intersection(c.other, base), c.meeting) << c.other.x << "," << c.other.y;
        EXPECT_EQ(gfx::overlaps(base, c.other), !c.meeting.isEmpty()) << c.other.x << "," << c.other.y;
        EXPECT_EQ(gfx::overlaps(c.other, base), !c.meeting.isEmpty()) << c.other.x << "," << c.other.y;
        // The same in whole pixels.
        const auto whole = [](const RectF& r) {
            return RectI{static_cast<int>(r.x), static_cast<int>(r.y), static_cast<int>(r.width),
                         static_cast<int>(r.height)};
        };
        EXPECT_EQ(gfx::intersection(whole(base), whole(c.other)), whole(c.meeting));
    }
}

} // namespace
