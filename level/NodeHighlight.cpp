#include "level/NodeHighlight.h"

#include "agents/NavGraph.h"
#include "gfx/Graphics.h"

namespace game {

NodeHighlight::NodeHighlight() : Object(0xFF4040FF, 4.0f) {}

void NodeHighlight::setNode(NavNode* node) {
    if (node == node_)
        return;
    node_ = node;
    invalidate();
}

void NodeHighlight::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
}

void NodeHighlight::rebuildPath() {
    path_.reset();
    if (node_) {
        const auto x = static_cast<float>(node_->x);
        const auto y = static_cast<float>(node_->y);
        // Four arms around the node, leaving its centre free; they are one figure, so each
        // arm's end is joined to the next arm's start.
        path_.addLine({x, y - 4}, {x, y - 10});
        path_.addLine({x, y + 4}, {x, y + 10});
        path_.addLine({x - 4, y}, {x - 10, y});
        path_.addLine({x + 4, y}, {x + 10, y});
    }
    clearShapeDirty();
}

} // namespace game
