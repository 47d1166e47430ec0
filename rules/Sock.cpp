#include "rules/Sock.h"

#include "core/Random.h"
#include "gfx/Graphics.h"

namespace game {

namespace {

std::uint8_t component(int r) {
    return static_cast<std::uint8_t>(r * 100 / 32768 + 80);
}

} // namespace

Sock::Sock(core::Random& random) {
    const int r1 = random.next();
    const int r2 = random.next();
    const int r3 = random.next();
    const int r4 = random.next();
    const std::uint8_t red = component(r1);
    const std::uint8_t green = component(r2);
    const std::uint8_t blue = component(r3);
    sockScale_ = r4 * 0.4 / 32768 + 0.6;
    pen_.setWidth(static_cast<float>(8 * sockScale_));
    pen_.setEndCap(gfx::LineCap::Round);
    pen_.setColor(gfx::makeArgb(0x80, red, green, blue));
    stripePen_.setLineJoin(gfx::LineJoin::Round);
    auto darker = [](std::uint8_t c) { return static_cast<std::uint8_t>(c * 0.3); };
    stripePen_.setColor(gfx::makeArgb(0xff, darker(red), darker(green), darker(blue)));
}

void Sock::rebuildPath() {
    path_.reset();
    clearShapeDirty();
    if (!isInLevel()) {
        figures_.clear();
        return;
    }
    const auto s = static_cast<float>(sockScale_);
    const float t = 4 * s - 1;
    path_.addLine({x_, y_ - 8 * s}, {x_, y_ + 8 * s});
    path_.addLine({x_, y_ + 8 * s}, {x_ + 10 * s, y_ + 8 * s});
    path_.startFigure();
    path_.addLine({x_ - t, y_}, {x_ + t, y_});
    path_.startFigure();
    path_.addLine({x_ - t, y_ - 4 * s}, {x_ + t, y_ - 4 * s});
    path_.startFigure();
    path_.addLine({x_ + 10 * s, y_ + 5 * s}, {x_ + 10 * s, y_ + 10 * s});
    path_.figures(figures_);
}

void Sock::draw(gfx::Graphics& g) {
    bool first = true;
    for (const gfx::Path& figure : figures_) {
        g.drawPath(first ? pen_ : stripePen_, figure);
        first = false;
    }
}

} // namespace game
