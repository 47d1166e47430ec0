#include "characters/KeyframeTable.h"
#include "characters/PersonLimbs.h"

#include <gtest/gtest.h>

namespace game {

namespace {

// Three keys; only the first point of each moves, so each case reads one coordinate pair.
constexpr Keyframe kKeys[] = {
    {0.0, {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}}},
    {0.25, {{{10, -20}, {1, 1}, {2, 2}, {3, 3}}}},
    {0.5, {{{30, 40}, {1, 1}, {2, 2}, {3, 3}}}},
};
constexpr KeyframeTable kTable{"test", kKeys};

struct Case {
    double t, period, offset;
    gfx::PointF expected;
};

TEST(KeyframeTable, InterpolatesBetweenKeysAndWrapsToTheFirst) {
    const Case cases[] = {
        {0.0, 1, 0, {0, 0}},      // first key
        {0.25, 1, 0, {10, -20}},  // a key exactly
        {0.125, 1, 0, {5, -10}},  // half way between the first two keys
        {1.5, 6, 0, {10, -20}},   // the period stretches the cycle
        {0.75, 1, 0, {15, 20}},   // half way from the last key back to the first
        {1.25, 1, 0, {10, -20}},  // a whole cycle later the same
        {0.0, 1, 0.5, {30, 40}},  // a trailing limb runs half a cycle later
        {0.25, 1, 0.5, {15, 20}}, // ... and wraps past the last key as well
    };
    for (const Case& c : cases) {
        const LimbPoints p = interpolateKeyframes(kTable, c.t, c.period, c.offset);
        EXPECT_FLOAT_EQ(p[0].x, c.expected.x) << c.t << " / " << c.period << " + " << c.offset;
        EXPECT_FLOAT_EQ(p[0].y, c.expected.y) << c.t << " / " << c.period << " + " << c.offset;
        EXPECT_EQ(p[3], (gfx::PointF{3, 3}));
    }
}

TEST(KeyframeTable, MirroringNegatesEveryX) {
    const LimbEntry plain{person_limbs::walkingLeg, 0.3, false, false};
    LimbEntry mirrored = plain;
    mirrored.mirrored = true;
    const LimbPoints a = plain.evaluate();
    const LimbPoints b = mirrored.evaluate();
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(b[i], (gfx::PointF{-a[i].x, a[i].y}));
}

} // namespace

} // namespace game
