#pragma once

#include "gfx/Brush.h"
#include "level/Climbable.h"

namespace game {

// A climbable drawn as a filled organic trunk instead of rails and rungs: the tree and the
// telephone pole.
class FilledClimbable : public Climbable {
public:
    FilledClimbable(std::string name, float x, float y, float width, float height, NavNode* bottomNode,
                    NavNode* topNode);

    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    gfx::Argb fillColor() const { return fill.color(); }

protected:
    gfx::SolidBrush fill{0xFF000000};
};

} // namespace game
