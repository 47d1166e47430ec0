#pragma once

#include "gfx/Pen.h"
#include "scene/Platform.h"

#include <string>

namespace game {

class NavNode;

// A vertical platform: ladders, the tree trunk, the pole, the hanging cable loops.
class Climbable : public Platform {
public:
    Climbable(std::string name, float x, float y, float width, float height, int rungCount,
              NavNode* bottomNode, NavNode* topNode);

    // Adds the climb between its two ends to the world's graph.
    void registerInGame(World& world) override;
    // Moves at once, carrying what it carries and whoever climbs it.
    void translate(float dx, float dy) override;
    std::string typeName() const override { return name_; }
    void update(double) override {}
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    int orientation() const override { return 0; }
    bool supports(const gfx::RectF& r) const override;

    NavNode* bottomNode() const { return bottomNode_; }
    NavNode* topNode() const { return topNode_; }
    // For an owner that finds the ends in the world's graph only when it registers.
    void setEnds(NavNode* foot, NavNode* head) {
        bottomNode_ = foot;
        topNode_ = head;
    }
    // The climb rectangle (x, top, width, height).
    gfx::RectF climbRect() const { return {x_, y_ - height_, width_, height_}; }

protected:
    std::string name_;
    gfx::Pen climbPen_{0xAA301010, 3.0f};
    float x_, y_, width_, height_; // y is the bottom edge; the climb spans y - height to y
    int rungCount_;
    NavNode* bottomNode_;
    NavNode* topNode_;
};

} // namespace game
