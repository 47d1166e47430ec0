#pragma once

#include "level/Branch.h"
#include "level/FilledClimbable.h"

#include <array>

namespace game {

// The tree by the right edge of the garden: a climbable trunk with three walkable branches.
class Tree : public FilledClimbable {
public:
    // Trunk geometry: its climb axis is x 705, from the ground at y 545 up to y 145.
    static constexpr float kX = 693;
    static constexpr float kBottom = 545;
    static constexpr float kWidth = 25;
    static constexpr float kHeight = 400;
    static constexpr gfx::Argb kColor = 0xFF402010;

    Tree();

    void registerInGame(World& world) override;
    // Moves at once and takes the branches along.

    Branch& branch(int i) { return branches_[static_cast<std::size_t>(i)]; }

private:
    std::array<Branch, 3> branches_;
};

} // namespace game
