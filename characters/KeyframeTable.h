#pragma once

#include "gfx/Geometry.h"

#include <array>
#include <span>

namespace game {

// One pose of a limb in a key-frame cycle: four points (hand or foot first, then elbow or
// knee, shoulder or hip, and a second joint point) at a time in [0, 1) of the cycle.
struct Keyframe {
    struct Point {
        double x = 0;
        double y = 0;
    };
    double time = 0;
    std::array<Point, 4> points;
};

// A limb's cycle: keys in ascending time, the first at time 0. The name is a label only.
struct KeyframeTable {
    const char* name = "";
    std::span<const Keyframe> keys;
};

using LimbPoints = std::array<gfx::PointF, 4>;

// The limb's points at clock t of a cycle lasting period (seconds, or units walked or
// climbed), shifted by offset cycles (0 for a leading limb, 0.5 for a trailing one). Between
// two keys the points move in a straight line; after the last key they run back to the first,
// which stands again at time 1.
LimbPoints interpolateKeyframes(const KeyframeTable& table, double t, double period, double offset);

// Evaluates one limb from its clock: leading limbs run half a cycle ahead of trailing ones.
using LimbFunction = LimbPoints (*)(double clock, bool leading);

// One limb's entry in a pose: which cycle, where in it, and whether it is drawn mirrored (x
// negated), which is how a figure faces the other way.
struct LimbEntry {
    LimbFunction limb = nullptr;
    double clock = 0;
    bool leading = true;
    bool mirrored = false;

    // The limb's points as drawn, mirroring applied.
    LimbPoints evaluate() const;
};

// Arms are limbs 0 and 1, legs 2 and 3.
using Pose = std::array<LimbEntry, 4>;

// A gait: both arms (or front legs) on one cycle and both legs (or hind legs) on another, all on
// one clock and mirrored alike, the first of each pair leading.
Pose gait(LimbFunction arms, LimbFunction legs, double clock, bool mirrored);

} // namespace game
