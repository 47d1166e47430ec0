#include "characters/PersonLimbs.h"

namespace game {

namespace person_limbs {

namespace {

// Point 0 is the hand or foot, point 2 the shoulder or hip.
constexpr Keyframe kIdleArm[] = {
    {0.0, {{{20, -5}, {10, -8}, {5, -15}, {10, -8}}}},
    {0.25, {{{20, -5}, {10, -8}, {5, -15}, {10, -8}}}},
    {0.5, {{{9, -1}, {14, -10}, {7, -15}, {14, -10}}}},
    {0.75, {{{9, -1}, {14, -10}, {7, -15}, {14, -10}}}},
};

constexpr Keyframe kIdleLeg[] = {
    {0.0, {{{-17, 16}, {-15, 5}, {-5, 0}, {-15, 5}}}},
    {0.25, {{{-17, 13}, {-15, 2}, {-5, 0}, {-15, 2}}}},
    {0.5, {{{-17, 15}, {-6, 7}, {-5, 0}, {-7, 7}}}},
    {0.75, {{{-17, 18}, {-6, 10}, {-5, 0}, {-7, 10}}}},
};

constexpr Keyframe kWalkingArm[] = {
    {0.0, {{{-17, 0}, {-9, -6}, {-5, -15}, {-9, -5}}}}, {0.16, {{{-12, 4}, {-8, 0}, {-2, -15}, {-8, 1}}}},
    {0.33, {{{-5, 8}, {7, 1}, {4, -15}, {7, 2}}}},      {0.49, {{{16, 1}, {12, -8}, {5, -15}, {12, -7}}}},
    {0.66, {{{11, 3}, {8, -6}, {2, -15}, {8, -5}}}},    {0.79, {{{-12, 3}, {-6, -6}, {-2, -15}, {-6, -5}}}},
};

constexpr Keyframe kWalkingLeg[] = {
    {0.0, {{{15, 30}, {5, 15}, {5, 0}, {4, 0}}}},       {0.16, {{{12, 20}, {2, 13}, {2, 0}, {1, 0}}}},
    {0.33, {{{5, 20}, {-5, 5}, {0, 0}, {-4, 5}}}},      {0.49, {{{-17, 16}, {-15, 5}, {-5, 0}, {-14, 5}}}},
    {0.66, {{{-10, 30}, {-8, 15}, {-2, 0}, {-7, 15}}}},
};

constexpr Keyframe kFallingArm[] = {
    {0.0, {{{-12, -20}, {-9, -23}, {-5, -15}, {-10, -23}}}},
    {0.1, {{{-22, -23}, {-9, -23}, {-5, -15}, {-10, -23}}}},
    {0.2, {{{-19, -10}, {-8, -15}, {-5, -15}, {-8, -14}}}},
    {0.3, {{{-17, 1}, {-10, -8}, {-5, -15}, {-10, -7}}}},
};

constexpr Keyframe kClimbingArm[] = {
    {0.0, {{{-9, -31}, {-9, -18}, {-5, -15}, {-9, -17}}}},
    {0.25, {{{-9, -23}, {-13, -13}, {-5, -15}, {-13, -12}}}},
    {0.5, {{{-9, -15}, {-13, -8}, {-5, -15}, {-13, -7}}}},
    {0.75, {{{-9, -23}, {-13, -13}, {-5, -15}, {-13, -12}}}},
};

constexpr Keyframe kClimbingLeg[] = {
    {0.0, {{{-9, 16}, {-9, 3}, {-5, 0}, {-9, 2}}}},
    {0.25, {{{-9, 8}, {-13, -2}, {-5, 0}, {-13, -3}}}},
    {0.5, {{{-9, 0}, {-13, -7}, {-5, 0}, {-13, -8}}}},
    {0.75, {{{-9, 8}, {-13, -2}, {-5, 0}, {-13, -3}}}},
};

// The hand rests on the rung for most of the cycle and waves twice at its end.
constexpr Keyframe kWavingArm[] = {
    {0.0, {{{-9, -15}, {-13, -8}, {-5, -15}, {-13, -7}}}},
    {0.6, {{{-9, -15}, {-13, -8}, {-5, -15}, {-13, -7}}}},
    {0.75, {{{-3, -28}, {-12, -20}, {-5, -15}, {-9, -20}}}},
    {0.8, {{{-5, -25}, {-14, -17}, {-5, -15}, {-14, -17}}}},
    {0.85, {{{-3, -28}, {-12, -20}, {-5, -15}, {-9, -20}}}},
    {0.9, {{{-5, -25}, {-14, -17}, {-5, -15}, {-14, -17}}}},
};

constexpr KeyframeTable kIdleArmTable{"Person::arm - ", kIdleArm};
constexpr KeyframeTable kIdleLegTable{"Person::leg - ", kIdleLeg};
constexpr KeyframeTable kWalkingArmTable{"Person::arm - ", kWalkingArm};
constexpr KeyframeTable kWalkingLegTable{"Person::leg - ", kWalkingLeg};
constexpr KeyframeTable kFallingArmTable{"Person::falling arm - ", kFallingArm};
constexpr KeyframeTable kClimbingArmTable{"Person::climbing arm - ", kClimbingArm};
constexpr KeyframeTable kClimbingLegTable{"Person::climbing Leg - ", kClimbingLeg};
constexpr KeyframeTable kWavingArmTable{"Person::climbing arm - ", kWavingArm};

double phase(bool leading) {
    return leading ? 0.0 : 0.5;
}

} // namespace

LimbPoints idleArm(double clock, bool leading) {
    return interpolateKeyframes(kIdleArmTable, clock, 6, phase(leading));
}

LimbPoints idleLeg(double clock, bool leading) {
    return interpolateKeyframes(kIdleLegTable, clock, 6, phase(leading));
}

LimbPoints walkingArm(double clock, bool leading) {
    return interpolateKeyframes(kWalkingArmTable, clock, 1, phase(leading));
}

LimbPoints walkingLeg(double clock, bool leading) {
    return interpolateKeyframes(kWalkingLegTable, clock, 1, phase(leading));
}

LimbPoints fallingArm(double clock, bool leading) {
    LimbPoints points = interpolateKeyframes(kFallingArmTable, clock, 1, phase(leading));
    if (leading)
        for (gfx::PointF& p : points)
            p.x = -p.x;
    return points;
}

LimbPoints climbingArm(double clock, bool leading) {
    return interpolateKeyframes(kClimbingArmTable, clock, 1, phase(leading));
}

LimbPoints climbingLeg(double clock, bool leading) {
    return interpolateKeyframes(kClimbingLegTable, clock, 1, phase(leading));
}

LimbPoints wavingArm(double clock, bool leading) {
    return interpolateKeyframes(kWavingArmTable, clock, 4, phase(leading));
}

} // namespace person_limbs

} // namespace game
