#pragma once

#include "characters/KeyframeTable.h"

namespace game {

// The person's limb cycles. Each evaluates its key-frame table over its own period: seconds
// for the idle sway, the wave and the falling arms, units walked for the walking gait and
// units climbed for the climbing gait (the caller's clocks are already in cycles of those).
namespace person_limbs {

// Idle sway, one cycle every 6 seconds.
LimbPoints idleArm(double clock, bool leading);
LimbPoints idleLeg(double clock, bool leading);
// Walking gait, one cycle per stride clock unit.
LimbPoints walkingArm(double clock, bool leading);
LimbPoints walkingLeg(double clock, bool leading);
// Flailing while falling; the leading arm is drawn on the other side of the body.
LimbPoints fallingArm(double clock, bool leading);
// Climbing gait, one cycle per climb clock unit.
LimbPoints climbingArm(double clock, bool leading);
LimbPoints climbingLeg(double clock, bool leading);
// A hand waving from a ladder, every 4 seconds.
LimbPoints wavingArm(double clock, bool leading);

} // namespace person_limbs

} // namespace game
