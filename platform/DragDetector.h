#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <optional>

namespace platform {

// SDL reports only the sizes a border drag goes through, not its beginning and end. A drag is
// taken to be a burst of size changes: it begins with the first change and ends once no change
// has come for a quiet period and no mouse button is held. A player who pauses with the border
// still in hand is dragging all the same; while the button is down the end is looked for again
// every hold poll. The client rectangle from before the first change is kept for the aspect
// correction at the end. Times are microseconds on any monotonic scale.
class DragDetector {
public:
    static constexpr std::int64_t kDefaultQuietUs = 250'000;
    static constexpr std::int64_t kHoldPollUs = 50'000;

    explicit DragDetector(std::int64_t quietUs = kDefaultQuietUs);

    // A size change seen at nowUs; clientBefore is the client rectangle it replaced.
    // Returns true when this change begins a drag.
    bool sizeChanged(std::int64_t nowUs, const gfx::RectI& clientBefore);
    bool dragging() const { return dragging_; }
    // Microseconds until the drag counts as ended (0 once it has); -1 when there is no drag.
    std::int64_t timeUntilEnd(std::int64_t nowUs) const;
    // When the drag has ended by nowUs: forgets it and returns the client rectangle from its
    // start. buttonHeld: a mouse button is down now, so the border may still be in hand.
    std::optional<gfx::RectI> finish(std::int64_t nowUs, bool buttonHeld = false);
    // Forgets a drag without ending it normally (the window was maximised or closed meanwhile).
    void cancel() { dragging_ = false; }

private:
    std::int64_t quietUs_;
    std::int64_t lastChangeUs_ = 0;
    std::int64_t recheckUs_ = 0;
    gfx::RectI startRect_;
    bool dragging_ = false;
};

} // namespace platform
