#include "gfx/Geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

using gfx::PointF;
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

// The box round a set of points keeps its four edges as found, whatever the order of the
// points, and passes over coordinates that are not numbers.
TEST(Geometry, ExtentHoldsEveryPointAndKeepsItsEdgesExact) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<PointF> points;
        bool empty;
        float left, top, right, bottom;
    } cases[] = {
        {"no point", {}, true, 0, 0, 0, 0},
        {"one point", {{3.5f, -2}}, false, 3.5f, -2, 3.5f, -2},
        {"a turned square's corners", {{0, -5}, {5, 0}, {0, 5}, {-5, 0}}, false, -5, -5, 5, 5},
        // Through a width (30.1 as a float) the right edge would come back as 0.10000038.
        {"edges no width can hold", {{0.1f, 7}, {-30, 3}}, false, -30, 3, 0.1f, 7},
        {"a point not a number", {{nan, nan}, {1, 2}, {3, 4}}, false, 1, 2, 3, 4},
        {"half a point not a number", {{1, 2}, {nan, 9}, {3, 4}}, false, 1, 2, 3, 9},
        {"nothing but not a number", {{nan, nan}}, true, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool backwards : {false, true}) {
            std::vector<PointF> points = c.points;
            if (backwards)
                std::reverse(points.begin(), points.end());
            const gfx::Extent box = gfx::extentOf(points);
            ASSERT_EQ(box.isEmpty(), c.empty);
            EXPECT_EQ(box.rect().isEmpty(), c.empty || c.left == c.right || c.top == c.bottom);
            if (c.empty)
                continue;
            EXPECT_EQ(box.left, c.left);
            EXPECT_EQ(box.top, c.top);
            EXPECT_EQ(box.right, c.right);
            EXPECT_EQ(box.bottom, c.bottom);
            EXPECT_EQ(box.rect(), (RectF{c.left, c.top, c.right - c.left, c.bottom - c.top}));
        }
    }
}

// The box round two rectangles, in floats and in whole pixels: one with no area adds nothing.
TEST(Geometry, UniteIgnoresRectanglesWithoutArea) {
    const RectI base{10, 10, 20, 10};
    const struct {
        RectI other;
        RectI united;
    } cases[] = {
        {{15, 12, 4, 4}, base},             // inside
        {{25, 5, 20, 10}, {10, 5, 35, 15}}, // across a corner
        {{-50, -50, 5, 5}, {-50, -50, 80, 70}},
        {{30, 10, 5, 10}, {10, 10, 25, 10}}, // touching
        {{}, base},
        {{-100, 200, 0, 50}, base},  // no width
        {{500, 500, 30, -5}, base},  // a negative height
        {{-40, -40, -10, 90}, base}, // a negative width
    };
    const auto floats = [](const RectI& r) {
        return RectF{static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
                     static_cast<float>(r.height)};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.other.x << "," << c.other.y << " " << c.other.width << "x" << c.other.height);
        EXPECT_EQ(gfx::unite(base, c.other), c.united);
        EXPECT_EQ(gfx::unite(c.other, base), c.united);
        EXPECT_EQ(gfx::unite(floats(base), floats(c.other)), floats(c.united));
        EXPECT_EQ(gfx::unite(floats(c.other), floats(base)), floats(c.united));
    }
    EXPECT_TRUE(gfx::unite(RectI{}, RectI{3, 3, -1, 4}).isEmpty());
}

} // namespace
