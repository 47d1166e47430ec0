#pragma once

#include "scene/Platform.h"

#include <deque>
#include <utility>

// A horizontal platform with a fixed design outline that follows displacements through a
// queue, one per frame, so a stack of platforms follows its base with a lag.
class MovablePlatform : public Platform {
public:
    MovablePlatform();

    void translate(float dx, float dy) override;
    void update(double dt) override;
    int orientation() const override { return 1; }

    float getOffsetX() const { return offsetX; }
    float getOffsetY() const { return offsetY; }

protected:
    std::deque<std::pair<float, float>> pendingMoves;
    float offsetX = 0;
    float offsetY = 0;
};
