#pragma once

#include "gfx/Path.h"
#include "gfx/Pen.h"
#include "rules/Collectible.h"

namespace core {
class Random;
}

namespace game {

// A sock of random colour and size: a wide translucent leg and foot with two stripes and a toe.
class Sock : public Collectible {
public:
    // Its colour and size are drawn from the game's generator as it is made, before it joins
    // any world.
    explicit Sock(core::Random& random);

    std::string typeName() const override { return "Sock"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    void lift() override { moveBy(0, static_cast<float>(-15 * sockScale_)); }

    double scale() const { return sockScale_; }

protected:
    Sock* asSock() override { return this; }

private:
    double sockScale_ = 1;
    gfx::Pen stripePen_{0xff000000, 1.0f};
    // The path's figures, each drawn with its own pen: a sock is drawn far more often than
    // it moves.
    std::vector<gfx::Path> figures_;
};

} // namespace game
