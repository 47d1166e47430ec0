#pragma once

#include "scene/Object.h"

#include <cstdint>

namespace game {

class NavEdge;

// A glow along the navigation edge nearest to the pointer that fades out over three
// seconds. It is also the click target: the Husband heads along the edge it holds.
class EdgeHighlight : public Object {
public:
    static constexpr double kGlowSeconds = 3.0;

    EdgeHighlight();

    std::string typeName() const override { return "EdgeHighlight"; }
    // Counts the glow down and lets go of the edge when it is over.
    void update(double dt) override;
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    // Lights this edge (nullptr lets go of it); the same edge again only restarts the glow.
    void setEdge(NavEdge* edge);
    NavEdge* edge() const { return edge_; }

    double glowTime = 0;

private:
    // The centre colour's alpha now: full glow 128, fading to 0.
    std::uint8_t shade() const;

    NavEdge* edge_ = nullptr;
};

} // namespace game
