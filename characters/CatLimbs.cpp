#include "characters/CatLimbs.h"

namespace game {

namespace cat_limbs {

namespace {

constexpr Keyframe kFrontLeg[] = {
    {0.0, {{{-17, 0}, {-28, 17}, {-30, 18}, {-25, 18}}}},
    {0.16, {{{-12, 0}, {-13, 17}, {-15, 18}, {-12, 18}}}},
    {0.33, {{{-10, 0}, {-5, 15}, {-7, 16}, {-4, 16}}}},
    {0.49, {{{-10, 0}, {-3, 7}, {0, 8}, {1, 6}}}},
    {0.66, {{{-15, 0}, {-20, 5}, {-16, 8}, {-18, 6}}}},
    {0.79, {{{-17, 0}, {-26, 2}, {-27, 7}, {-25, 7}}}},
};

constexpr Keyframe kHindLegIdle[] = {
    {0.0, {{{5, 0}, {17, 8}, {7, 11}, {14, 8}}}},    {0.16, {{{5, 0}, {9, 7}, {-2, 16}, {8, 6}}}},
    {0.33, {{{9, 0}, {11, 8}, {9, 16}, {10, 8}}}},   {0.49, {{{13, 0}, {15, 4}, {16, 16}, {15, 5}}}},
    {0.66, {{{13, 0}, {18, 0}, {22, 10}, {17, 0}}}}, {0.79, {{{6, 0}, {18, 4}, {11, 6}, {9, 3}}}},
};

// The idle cycle with the fourth point lowered to the ground in the middle keys.
constexpr Keyframe kHindLegWalking[] = {
    {0.0, {{{5, 0}, {17, 8}, {7, 11}, {14, 8}}}},    {0.16, {{{5, 0}, {9, 7}, {-2, 16}, {-4, 16}}}},
    {0.33, {{{9, 0}, {11, 8}, {9, 16}, {7, 16}}}},   {0.49, {{{13, 0}, {15, 4}, {16, 16}, {14, 16}}}},
    {0.66, {{{13, 0}, {18, 0}, {22, 10}, {17, 0}}}}, {0.79, {{{6, 0}, {18, 4}, {11, 6}, {9, 3}}}},
};

constexpr Keyframe kFrontLegFalling[] = {
    {0.0, {{{-15, 0}, {-20, 5}, {-16, 8}, {-18, 6}}}},
    {0.33, {{{-17, 0}, {-26, 2}, {-27, 7}, {-25, 7}}}},
    {0.66, {{{-17, 0}, {-28, 17}, {-30, 18}, {-25, 18}}}},
};

constexpr Keyframe kHindLegFalling[] = {
    {0.0, {{{5, 0}, {17, 8}, {7, 11}, {14, 8}}}},
    {0.33, {{{13, 0}, {15, 4}, {16, 16}, {15, 5}}}},
    {0.66, {{{16, 0}, {22, 0}, {27, 8}, {20, 0}}}},
};

constexpr KeyframeTable kFrontLegTable{"Cat::arm - ", kFrontLeg};
constexpr KeyframeTable kHindLegIdleTable{"Cat::leg - ", kHindLegIdle};
constexpr KeyframeTable kHindLegWalkingTable{"Cat::leg - ", kHindLegWalking};
constexpr KeyframeTable kFrontLegFallingTable{"Cat::falling arm - ", kFrontLegFalling};
constexpr KeyframeTable kHindLegFallingTable{"Cat::leg - ", kHindLegFalling};

LimbPoints cycle(const KeyframeTable& table, double clock, bool leading) {
    return interpolateKeyframes(table, clock, 1, leading ? 0.0 : 0.5);
}

} // namespace

LimbPoints frontLeg(double clock, bool leading) {
    return cycle(kFrontLegTable, clock, leading);
}

LimbPoints hindLegIdle(double clock, bool leading) {
    return cycle(kHindLegIdleTable, clock, leading);
}

LimbPoints hindLegWalking(double clock, bool leading) {
    return cycle(kHindLegWalkingTable, clock, leading);
}

LimbPoints frontLegFalling(double clock, bool leading) {
    return cycle(kFrontLegFallingTable, clock, leading);
}

LimbPoints hindLegFalling(double clock, bool leading) {
    return cycle(kHindLegFallingTable, clock, leading);
}

} // namespace cat_limbs

} // namespace game
