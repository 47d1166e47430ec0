#include "game/Renderer.h"

#include "scene/Object.h"

#include <algorithm>
#include <cmath>

// The pictures a quake puts down: each piece of scenery that only moves is painted once into
// a picture of its own, kept from quake to quake, and placed where the piece has moved.

namespace game {

bool Renderer::keepsSprite(const Object& object) const {
    // What changes its looks in place (the light, the trampolines) is drawn as usual. So is
    // anything with no size or a picture too big to keep.
    if (!object.keepsSprite())
        return false;
    const gfx::RectF& b = object.lastBounds();
    if (!(b.width > 0 && b.height > 0) || !std::isfinite(b.x) || !std::isfinite(b.y) ||
        !std::isfinite(b.width) || !std::isfinite(b.height))
        return false;
    const double pixels = (b.width * scale_ + 4) * (b.height * scale_ + 4);
    return pixels < 64.0 * 1024 * 1024;
}

bool Renderer::spriteFits(const ObjectSprite& sprite, const Object& object) const {
    const gfx::RectF& b = object.lastBounds();
    return sprite.object == &object && sprite.sprite.valid() && sprite.scale == scale_ &&
           sprite.origin == origin_ && std::abs(b.width - sprite.width) < 1e-3f &&
           std::abs(b.height - sprite.height) < 1e-3f;
}

Renderer::ObjectSprite Renderer::makeSprite(Object& object) const {
    ObjectSprite made;
    made.object = &object;
    const gfx::RectF b = object.lastBounds();
    made.width = b.width;
    made.height = b.height;
    made.scale = scale_;
    made.origin = origin_;
    made.anchorX = origin_.x + scale_ * b.x;
    made.anchorY = origin_.y + scale_ * b.y;
    // Two pixels to spare on each side for the edge shading.
    const int left = static_cast<int>(std::floor(made.anchorX)) - 2;
    const int top = static_cast<int>(std::floor(made.anchorY)) - 2;
    const int right = static_cast<int>(std::ceil(origin_.x + scale_ * b.right())) + 2;
    const int bottom = static_cast<int>(std::ceil(origin_.y + scale_ * b.bottom())) + 2;
    made.box = {left, top, right - left, bottom - top};
    gfx::Surface image(made.box.width, made.box.height); // clear to begin with
    if (!image.valid())
        return made;
    {
        gfx::Graphics g(image);
        prepare(g);
        g.translateTransform(static_cast<float>(origin_.x - left), static_cast<float>(origin_.y - top));
        g.scaleTransform(static_cast<float>(scale_), static_cast<float>(scale_));
        object.draw(g);
        g.flush();
    }
    made.sprite = gfx::Sprite(std::move(image));
    return made;
}

Renderer::Origin Renderer::spriteSpot(const ObjectSprite& sprite, const Object& object) const {
    return spriteSpot(sprite, object.lastBounds());
}

Renderer::Origin Renderer::spriteSpot(const ObjectSprite& sprite, const gfx::RectF& b) const {
    const double movedX = origin_.x + scale_ * b.x - sprite.anchorX;
    const double movedY = origin_.y + scale_ * b.y - sprite.anchorY;
    return {sprite.box.x + static_cast<int>(std::lround(movedX)),
            sprite.box.y + static_cast<int>(std::lround(movedY))};
}

void Renderer::addSpriteCover(gfx::RowSpans& area, const ObjectSprite& sprite, Origin spot) const {
    // Only the world: the letter box stays black.
    for (const gfx::RectI& c : sprite.sprite.cover()) {
        const int left = std::max(spot.x + c.x, worldPixels_.x);
        const int top = std::max(spot.y + c.y, worldPixels_.y);
        const int right = std::min(spot.x + c.right(), worldPixels_.right());
        const int bottom = std::min(spot.y + c.bottom(), worldPixels_.bottom());
        if (right > left && bottom > top)
            area.add({left, top, right - left, bottom - top});
    }
}

gfx::RectI Renderer::deviceBox(const gfx::RectF& b) const {
    if (!(b.width > 0 && b.height > 0))
        return {};
    // Two pixels to spare, as the clip of a dirty rectangle has them, for the edge shading.
    const double left =
        std::max(std::floor(origin_.x + scale_ * b.x) - 2, static_cast<double>(worldPixels_.x));
    const double top =
        std::max(std::floor(origin_.y + scale_ * b.y) - 2, static_cast<double>(worldPixels_.y));
    const double right =
        std::min(std::ceil(origin_.x + scale_ * b.right()) + 2, static_cast<double>(worldPixels_.right()));
    const double bottom =
        std::min(std::ceil(origin_.y + scale_ * b.bottom()) + 2, static_cast<double>(worldPixels_.bottom()));
    if (!(right > left && bottom > top))
        return {};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

void Renderer::updateSprites(const SceneView& scene, std::size_t end) {
    if (sprites_.size() != end)
        sprites_.resize(end);
    std::vector<std::size_t> stale;
    for (std::size_t i = 0; i < end; ++i) {
        Object& object = *scene.drawList[i];
        if (!keepsSprite(object)) {
            sprites_[i] = ObjectSprite();
            continue;
        }
        if (!spriteFits(sprites_[i], object))
            stale.push_back(i);
    }
    // Each picture has a canvas of its own: they are painted on all threads at once.
    threads().run(static_cast<int>(stale.size()), [&](int k) {
        const std::size_t i = stale[static_cast<std::size_t>(k)];
        sprites_[i] = makeSprite(*scene.drawList[i]);
    });
}

std::vector<const Renderer::ObjectSprite*> Renderer::spritePointers(const SceneView& scene,
                                                                    std::size_t end) const {
    std::vector<const ObjectSprite*> out(end, nullptr);
    for (std::size_t i = 0; i < end && i < sprites_.size(); ++i) {
        if (keepsSprite(*scene.drawList[i]) && spriteFits(sprites_[i], *scene.drawList[i]))
            out[i] = &sprites_[i];
    }
    return out;
}

} // namespace game
