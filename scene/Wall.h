#pragma once

#include "gfx/Brush.h"
#include "scene/Object.h"

namespace game {

// A wall of a storey: a filled rectangle that moves with its floor. The basement's walls
// stop walkers; the upper ones are translucent scenery.
class Wall : public Object {
public:
    Wall(gfx::RectF rect, gfx::Argb penColor, float penWidth, gfx::Argb fillColor);

    // Moves at once (a wall has no queue of its own).
    void translate(float dx, float dy) override;
    std::string typeName() const override { return "Wall"; }
    void update(double) override {}
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    const gfx::RectF& rect() const { return rect_; }
    gfx::PointF displacement() const { return {dx_, dy_}; }

protected:
    gfx::SolidBrush fill_;

private:
    gfx::RectF rect_;
    float dx_ = 0;
    float dy_ = 0;
};

} // namespace game
