#pragma once

#include "gfx/Brush.h"
#include "gfx/Graphics.h"
#include "scene/Object.h"

#include <functional>
#include <vector>

namespace game {

// A scene object for tests: a filled square that records the steps it was updated with
// and can be moved (which invalidates it, as any moving object does).
class Probe : public Object {
public:
    explicit Probe(gfx::RectF rect = {400, 100, 20, 20}, gfx::Argb colour = 0xc0ff8000)
        : Object(0xffffffff, 1.0f), rect_(rect), brush_(colour) {}

    std::string typeName() const override { return "Probe"; }
    void update(double dt) override {
        steps.push_back(dt);
        if (onUpdate)
            onUpdate();
    }
    void draw(gfx::Graphics& g) override {
        g.fillPath(brush_, path_);
        g.drawPath(pen_, path_);
    }
    void rebuildPath() override {
        path_.reset();
        path_.addRectangle(rect_);
        clearShapeDirty();
    }
    void moveTo(float x, float y) {
        rect_.x = x;
        rect_.y = y;
        invalidate();
    }

    std::vector<double> steps;
    std::function<void()> onUpdate;

private:
    gfx::RectF rect_;
    gfx::SolidBrush brush_;
};

} // namespace game
