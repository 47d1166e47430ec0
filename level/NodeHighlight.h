#pragma once

#include "scene/Object.h"

namespace game {

class NavNode;

// A cross on the navigation node under the pointer, when the game picks nodes on hover.
// It is also the click target: the Husband heads for the node it holds.
class NodeHighlight : public Object {
public:
    NodeHighlight();

    std::string typeName() const override { return "NodeHighlight"; }
    void update(double) override {}
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    // Shows the cross on this node (nullptr hides it); redraws only on a change.
    void setNode(NavNode* node);
    NavNode* node() const { return node_; }

private:
    NavNode* node_ = nullptr;
};

} // namespace game
