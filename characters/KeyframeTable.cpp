#include "characters/KeyframeTable.h"

#include <cmath>

namespace game {

LimbPoints interpolateKeyframes(const KeyframeTable& table, double t, double period, double offset) {
    LimbPoints result{};
    const std::span<const Keyframe> keys = table.keys;
    if (keys.empty() || !(period != 0))
        return result;
    const double cycles = offset + t / period;
    double f = cycles - std::floor(cycles);
    if (!std::isfinite(f))
        f = 0;

    // The last key at or before f; past the last key the cycle runs back to the first.
    std::size_t k = 0;
    while (k + 1 < keys.size() && keys[k + 1].time <= f)
        ++k;
    const Keyframe& from = keys[k];
    const bool wraps = k + 1 == keys.size();
    const Keyframe& to = wraps ? keys.front() : keys[k + 1];
    const double toTime = wraps ? 1.0 : to.time;
    const double span = toTime - from.time;
    const double h = span > 0 ? (f - from.time) / span : 0.0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const Keyframe::Point a = from.points[i];
        const Keyframe::Point b = to.points[i];
        result[i] = {static_cast<float>(a.x + h * (b.x - a.x)), static_cast<float>(a.y + h * (b.y - a.y))};
    }
    return result;
}

LimbPoints LimbEntry::evaluate() const {
    LimbPoints points = limb != nullptr ? limb(clock, leading) : LimbPoints{};
    if (mirrored)
        for (gfx::PointF& p : points)
            p.x = -p.x;
    return points;
}

Pose gait(LimbFunction arms, LimbFunction legs, double clock, bool mirrored) {
    return {{{arms, clock, true, mirrored},
             {arms, clock, false, mirrored},
             {legs, clock, true, mirrored},
             {legs, clock, false, mirrored}}};
}

} // namespace game
