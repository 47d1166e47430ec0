#pragma once

#include "gfx/Brush.h"
#include "level/Climbable.h"
#include "level/Place.h"

namespace game {

// A climbable drawn as a filled organic trunk instead of rails and rungs: the tree and the
// telephone pole. It stands on one place, its foot and head both, so it adds no climb of its
// own: its owner adds the edges up along it.
class FilledClimbable : public Climbable {
public:
    FilledClimbable(std::string name, float x, float y, float width, float height, gfx::Argb color,
                    Place foot);

    // Finds its foot in the world's graph as it registers.
    void registerInGame(World& world) override;
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    gfx::Argb fillColor() const { return fill_.color(); }

protected:
    gfx::SolidBrush fill_;

private:
    Place foot_;
};

} // namespace game
