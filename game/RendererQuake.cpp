#include "game/Renderer.h"

#include "game/WindowPort.h"
#include "scene/Object.h"

#include <cmath>

// A frame while the ground quakes. The house and the garden move nearly everywhere, so the
// scenery is put down from pictures of its pieces (RendererSprites.cpp) rather than painted:
// only the pixels a move changes are repainted, and only they go to the window.

namespace game {

void Renderer::quakeRedraw(const SceneView& scene, WindowPort& window, const gfx::RectI& client,
                           bool presentAll) {
    const std::size_t sceneryEnd = sceneryEndOf(scene);
    // Scenery painted the other way (or overlays on the picture) is repainted everywhere.
    const bool overlays = scene.showDirtyRects || scene.showRedrawnObjects;
    bool wholeWorld = !quakePainted_ || overlays || !previousRects_.empty();
    holdLayer(scene, sceneryEnd); // before anything moves
    quakePainted_ = true;
    quakeArea_.reset(client.width, client.height);

    // Working out exactly which pixels a move changes costs by the row and saves by the pixel:
    // it pays on big screens only.
    const bool exactMoves = scale_ >= kExactMovesScale;
    // Where each picture lies now, before the frame moves anything.
    const std::vector<const ObjectSprite*> before = spritePointers(scene, sceneryEnd);
    gatherChanges(scene, false);
    addQuakeChanges(before, exactMoves);
    std::vector<gfx::RectF> redrawnBounds;
    DirtyRectList newRects;
    for (const Change& change : changes_) {
        if (overlays)
            newRects.addCovering(change.now);
        if (scene.showRedrawnObjects)
            redrawnBounds.push_back(change.now);
    }
    for (const gfx::RectF& r : erasedRects_)
        quakeArea_.add(deviceBox(r));
    if (changes_.empty() && erasedRects_.empty() && !wholeWorld) {
        if (presentAll)
            presentWhole(window, client);
        return;
    }
    erasedRects_.clear();
    quakeArea_.settle();
    const long long worldArea = static_cast<long long>(worldPixels_.width) * worldPixels_.height;
    if (wholeWorld || quakeArea_.area() * 4 > worldArea * 3) {
        // Past three quarters of the world one rectangle is as cheap, and simpler to copy.
        wholeWorld = true;
        quakeArea_.reset(client.width, client.height);
        quakeArea_.add(worldPixels_);
        quakeArea_.settle();
    }
    paintQuakeArea(scene, sceneryEnd);

    gfx::Graphics& g = *backGraphics_;
    debugOverlayOnScreen_ = false;
    if (overlays) {
        DirtyRectList world;
        world.add({0, 0, static_cast<float>(DirtyRectList::kWorldWidth),
                   static_cast<float>(DirtyRectList::kWorldHeight)});
        world.clipTo(g);
        drawDebugOverlays(scene, g, redrawnBounds, newRects);
        g.flush();
        g.resetClip();
        clipToWorld(g);
    }
    previousRects_.clear();
    if (debugOverlayOnScreen_)
        previousRects_ = newRects; // any rectangle there makes the next frame repaint it all
    backBufferExact_ = !debugOverlayOnScreen_;
    if (presentAll) {
        presentWhole(window, client);
    } else if (wholeWorld) {
        present(window, client, {worldPixels_});
    } else if (exactMoves) {
        // The changed pixels are scattered (edges of outlines): joined into fewer rectangles,
        // a few unchanged pixels between them are copied along rather than a copy per run.
        present(window, client, quakeArea_.coarseRects(kPresentBandRows, kPresentGap));
    } else {
        present(window, client, quakeArea_.rects());
    }
}

void Renderer::addQuakeChanges(const std::vector<const ObjectSprite*>& before, bool exactMoves) {
    for (const Change& change : changes_) {
        const ObjectSprite* sprite = change.index < before.size() ? before[change.index] : nullptr;
        if (sprite == nullptr) {
            quakeArea_.add(deviceBox(change.before));
            quakeArea_.add(deviceBox(change.now));
            continue;
        }
        const Origin from = spriteSpot(*sprite, change.before);
        if (std::abs(change.now.width - sprite->width) < 1e-3f &&
            std::abs(change.now.height - sprite->height) < 1e-3f) {
            const Origin to = spriteSpot(*sprite, change.now);
            if (exactMoves) {
                // Only what the move changes: the ground's inside and the middles of thick
                // lines lie on their own colour again.
                sprite->sprite.addMove(quakeArea_, from.x, from.y, to.x, to.y, worldPixels_);
            } else {
                addSpriteCover(quakeArea_, *sprite, from);
                addSpriteCover(quakeArea_, *sprite, to);
            }
        } else {
            addSpriteCover(quakeArea_, *sprite, from);
            quakeArea_.add(deviceBox(change.now)); // a new picture, within half a pixel
        }
    }
}

void Renderer::paintQuakeArea(const SceneView& scene, std::size_t sceneryEnd) {
    updateSprites(scene, sceneryEnd);
    const std::vector<const ObjectSprite*> sprites = spritePointers(scene, sceneryEnd);
    growQuakeArea(scene, sceneryEnd, sprites);

    gfx::Graphics& g = *backGraphics_;
    g.flush();
    std::vector<std::unique_ptr<Band>>& all = bands();
    threads().run(static_cast<int>(all.size()), [&](int b) {
        Band& band = *all[static_cast<std::size_t>(b)];
        gfx::Graphics& bg = *band.backGraphics;
        prepareBand(bg, band);
        const int top = band.rows.y;
        const int bottom = band.rows.bottom();
        quakeArea_.fill(band.back, kBackground, top, bottom);
        band.back.markDirty(band.rows);
        bool drawn = false;
        for (std::size_t i = 0; i < sceneryEnd; ++i) {
            Object* object = scene.drawList[i];
            if (const ObjectSprite* sprite = sprites[i]) {
                if (drawn)
                    bg.flush();
                drawn = false;
                const Origin spot = spriteSpot(*sprite, *object);
                sprite->sprite.drawOnto(band.back, spot.x, spot.y, quakeArea_, top, bottom);
                band.back.markDirty(band.rows);
            } else if (quakeDrawn_[i]) {
                object->draw(bg);
                drawn = true;
            }
        }
        bg.flush();
    });
    backBuffer_.markDirty();
    // The figures, socks and widgets, on this thread as always.
    g.resetClip();
    clipToWorld(g);
    for (std::size_t i = sceneryEnd; i < scene.drawList.size(); ++i) {
        if (quakeDrawn_[i])
            scene.drawList[i]->draw(g);
    }
    g.flush();
}

void Renderer::growQuakeArea(const SceneView& scene, std::size_t sceneryEnd,
                             const std::vector<const ObjectSprite*>& sprites) {
    // What is drawn as usual is drawn whole wherever it reaches into the area, so its whole
    // box joins the area (and may reach others in turn): it is never drawn over itself.
    quakeDrawn_.assign(scene.drawList.size(), 0);
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < scene.drawList.size(); ++i) {
            if (quakeDrawn_[i] || (i < sceneryEnd && sprites[i] != nullptr))
                continue;
            const gfx::RectI box = deviceBox(scene.drawList[i]->lastBounds());
            if (!box.isEmpty() && quakeArea_.meets(box)) {
                quakeArea_.add(box);
                quakeDrawn_[i] = 1;
                grew = true;
            }
        }
        if (grew)
            quakeArea_.settle();
    }
}

void Renderer::paintQuakeScenery(const SceneView& scene, gfx::Graphics& g, gfx::Surface& target,
                                 const gfx::RectI& worldRect, const gfx::RectI& rows, std::size_t end,
                                 const std::vector<const ObjectSprite*>& sprites) const {
    g.setClip(worldRect, gfx::CombineMode::Replace);
    g.flush();
    std::vector<gfx::RectI> area;
    for (const gfx::RectI& r : g.clipRects()) {
        const int top = rows.isEmpty() ? r.y : std::max(r.y, rows.y);
        const int bottom = rows.isEmpty() ? r.bottom() : std::min(r.bottom(), rows.bottom());
        if (bottom > top && r.width > 0)
            area.push_back({r.x, top, r.width, bottom - top});
    }
    if (area.empty())
        return;
    for (const gfx::RectI& r : area)
        target.fillRect(r, kBackground);
    const float left = static_cast<float>(worldRect.x) - 1;
    const float topUnits = static_cast<float>(worldRect.y) - 1;
    const float right = static_cast<float>(worldRect.right()) + 1;
    const float bottomUnits = static_cast<float>(worldRect.bottom()) + 1;
    bool drawn = false; // something went through the canvas since the last picture
    for (std::size_t i = 0; i < end; ++i) {
        Object* object = scene.drawList[i];
        const ObjectSprite* sprite = i < sprites.size() ? sprites[i] : nullptr;
        if (sprite == nullptr) {
            const gfx::RectF& b = object->lastBounds();
            if (b.x < right && b.y < bottomUnits && b.right() > left && b.bottom() > topUnits) {
                object->draw(g);
                drawn = true;
            }
            continue;
        }
        if (drawn) {
            g.flush();
            drawn = false;
        }
        const Origin spot = spriteSpot(*sprite, *object);
        for (const gfx::RectI& r : area)
            sprite->sprite.drawOnto(target, spot.x, spot.y, r);
    }
    g.flush();
    for (const gfx::RectI& r : area)
        target.markDirty(r);
}

} // namespace game
