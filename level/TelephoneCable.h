#pragma once

#include "level/DanglingCable.h"
#include "scene/MovablePlatform.h"

#include <array>
#include <memory>

namespace game {

// The telephone line from the pole across the garden to the right edge of the world, with
// two loops hanging from it. It is walked on along its top.
class TelephoneCable : public MovablePlatform {
public:
    // Lowest point of the top line; agents are held down to 10 pixels below it.
    static constexpr float kLowestTop = 88;

    TelephoneCable();
    ~TelephoneCable() override;

    void registerInGame(World& world) override;
    std::string typeName() const override { return "TelephoneCable"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // Design outline in absolute coordinates.
    static const std::array<gfx::PointF, 8>& outlinePoints();
    // The first hanging loop; the loops exist once the cable is registered.
    DanglingCable* danglingCable1() const { return dangling1_.get(); }
    // Where a walker lets go of the second loop: a place of the tree, which the ground that
    // holds both names before the cable registers.
    void setSecondLoopLanding(NavNode& place) { secondLoopLanding_ = &place; }

private:
    std::unique_ptr<DanglingCable> dangling1_;
    std::unique_ptr<DanglingCable> dangling4_;
    NavNode* secondLoopLanding_ = nullptr;
};

} // namespace game
