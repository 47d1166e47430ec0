#pragma once

#include "level/Climbable.h"

namespace game {

// A loop of cable hanging from the telephone line. Agents climb down it and drop to its
// landing place. Its climb zone reaches 40 pixels above the drawn loop, up to the line.
class DanglingCable : public Climbable {
public:
    static constexpr float kReachAboveLoop = 40;

    DanglingCable(std::string name, float x, float bottom, float width, float loopHeight, NavNode* topNode,
                  NavNode* bottomNode, NavNode* landingNode);

    void registerInGame(World& world) override;
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    NavNode* landing() const { return landingNode_; }

private:
    NavNode* landingNode_;
};

} // namespace game
