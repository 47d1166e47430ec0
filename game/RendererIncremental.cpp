#include "game/Renderer.h"

#include "game/WindowPort.h"
#include "scene/Object.h"

#include <algorithm>

// A calm frame: only the dirty rectangles (where what changed was and now is) are repainted,
// each from a copy of the scenery layer with the figures, socks and widgets drawn over it, and
// only they go to the window. The layer itself (the house and the garden) is mended where its
// own objects changed, and held still while the ground quakes.

namespace game {

Renderer::PaintResult Renderer::incrementalRedraw(const SceneView& scene, WindowPort& window,
                                                  const gfx::RectI& client, bool presentAll) {
    // Objects before this index are the scenery, kept in its layer while it stays the same.
    const std::size_t sceneryEnd = sceneryEndOf(scene);
    gatherChanges(scene, false);
    if (!quakePainted_)
        forgetChangedPictures();
    DirtyRectList newRects;
    DirtyRectList sceneryRects;
    std::vector<gfx::RectF> redrawnBounds;
    for (const Change& change : changes_) {
        previousRects_.addCovering(change.before);
        if (change.index < sceneryEnd) {
            sceneryRects.addCovering(change.before);
            sceneryRects.addCovering(change.now);
        }
        newRects.addCovering(change.now);
        if (scene.showRedrawnObjects)
            redrawnBounds.push_back(change.now);
    }
    // Scenery put down from its pictures in a quake must be repainted everywhere.
    const bool modeChanged = quakePainted_;
    quakePainted_ = false;
    if ((changes_.empty() || newRects.empty()) && !modeChanged) {
        // The erased rectangles wait for a frame that draws.
        if (presentAll)
            presentWhole(window, client);
        return {};
    }

    for (const gfx::RectF& r : erasedRects_)
        previousRects_.addCovering(r);
    DirtyRectList region = newRects;
    if (!previousRects_.empty()) {
        previousRects_.addAll(newRects);
        region = previousRects_;
    }
    repaintRegion(scene, region, sceneryRects, sceneryEnd, modeChanged);

    gfx::Graphics& g = *backGraphics_;
    region.clipTo(g);
    PaintResult result;
    if (scene.redrawStatistics && !presentAll)
        result.statusText = redrawStatistics(scene, region);

    // The region held last frame's overlay rectangles, so they are gone unless drawn again.
    debugOverlayOnScreen_ = false;
    drawDebugOverlays(scene, g, redrawnBounds, newRects);
    if (scene.showDirtyRects || scene.showRedrawnObjects)
        previousRects_ = newRects; // repainted next frame, which erases the overlay
    else
        previousRects_.clear();

    g.flush();
    g.resetClip();
    erasedRects_.clear();
    backBufferExact_ = !debugOverlayOnScreen_;
    if (presentAll)
        presentWhole(window, client);
    else
        presentRegion(window, client, region);
    return result;
}

void Renderer::repaintRegion(const SceneView& scene, DirtyRectList& region, const DirtyRectList& sceneryRects,
                             std::size_t sceneryEnd, bool modeChanged) {
    const gfx::RectF wholeWorld{0, 0, static_cast<float>(DirtyRectList::kWorldWidth),
                                static_cast<float>(DirtyRectList::kWorldHeight)};
    const bool held = !heldBounds_.empty();
    if (sceneryEnd > 0 && held && mendHeldLayer(scene, sceneryEnd)) {
        // After a quake: the calm picture, mended, is put back everywhere.
        backGraphics_->flush();
        copyLayerBanded(worldPixels_);
        drawAboveScenery(scene, sceneryEnd);
        region = DirtyRectList();
        region.add(wholeWorld);
    } else if (sceneryEnd > 0 && (held || modeChanged || coversMuchOfTheWorld(sceneryRects))) {
        // The scenery was put down from its pictures: it is repainted as usual everywhere.
        repaintWorld(scene, sceneryEnd);
        region = DirtyRectList();
        region.add(wholeWorld);
    } else {
        // The layer follows its objects' changes first (or is made anew when they are other
        // objects: one left or joined the scenery, whose bounds the region holds).
        std::size_t layered = 0;
        if (layerShows(scene, sceneryEnd)) {
            repaintRects(scene, *sceneryGraphics_, sceneryLayer_, sceneryRects, 0, sceneryEnd, nullptr);
            layered = sceneryEnd;
        } else {
            layered = paintScenery(scene);
        }
        repaintRects(scene, *backGraphics_, backBuffer_, region, layered, scene.drawList.size(),
                     layered > 0 ? &sceneryLayer_ : nullptr);
    }
}

void Renderer::repaintRects(const SceneView& scene, gfx::Graphics& g, gfx::Surface& target,
                            const DirtyRectList& rects, std::size_t from, std::size_t to,
                            const gfx::Surface* below) {
    if (below != nullptr && !rects.empty()) {
        // The layer below is put back under every rectangle; then each object that meets any
        // of them is drawn once, clipped to the ones it meets. Its bounds hold every pixel it
        // paints, so it paints nothing in the others, and each pixel comes out as a pass of
        // its own rectangle would leave it (the canvas cuts a shape the same under any clip).
        g.setClip(rects.rects());
        g.flush();
        for (const gfx::RectI& device : g.clipRects())
            target.copyRect(*below, device);
        drawObjectsMeeting(scene, g, rects.rects(), from, to);
        g.flush();
        return;
    }
    // Each rectangle in a pass of its own, filled with the background first.
    for (const gfx::RectI& r : rects.rects()) {
        g.setClip(r, gfx::CombineMode::Replace);
        DirtyRectList::fillDevicePixels(g, r, backgroundBrush_);
        drawObjectsMeeting(scene, g, std::span(&r, 1), from, to);
    }
    g.flush();
}

void Renderer::drawObjectsMeeting(const SceneView& scene, gfx::Graphics& g, std::span<const gfx::RectI> rects,
                                  std::size_t from, std::size_t to) {
    // Objects wholly outside a box would be clipped away there entirely; their bounds (with
    // the pen, as last drawn) cover every pixel they paint, so leaving the box out of their
    // clip changes nothing.
    const auto meets = [](const gfx::RectF& b, const gfx::RectI& box) {
        return b.x < static_cast<float>(box.right()) + 1 && b.y < static_cast<float>(box.bottom()) + 1 &&
               b.right() > static_cast<float>(box.x) - 1 && b.bottom() > static_cast<float>(box.y) - 1;
    };
    clipNow_.clear();
    bool clipSet = false;
    for (std::size_t i = from; i < to; ++i) {
        Object* object = scene.drawList[i];
        const gfx::RectF& b = object->lastBounds();
        clipNext_.clear();
        for (const gfx::RectI& box : rects)
            if (meets(b, box))
                clipNext_.push_back(box);
        if (clipNext_.empty())
            continue;
        if (!clipSet || clipNext_ != clipNow_) {
            if (clipNext_.size() == 1)
                g.setClip(clipNext_.front(), gfx::CombineMode::Replace);
            else
                g.setClip(clipNext_);
            clipNow_.swap(clipNext_);
            clipSet = true;
        }
        object->draw(g);
    }
}

std::size_t Renderer::paintScenery(const SceneView& scene) {
    sceneryObjects_.clear();
    heldBounds_.clear();
    const std::size_t end = sceneryEndOf(scene);
    if (end == 0)
        return 0;
    if (!sceneryLayer_.valid() || sceneryLayer_.width() != backBuffer_.width() ||
        sceneryLayer_.height() != backBuffer_.height()) {
        bands_.clear();
        sceneryGraphics_.reset();
        sceneryLayer_ = gfx::Surface(backBuffer_.width(), backBuffer_.height());
        if (!sceneryLayer_.valid())
            return 0;
        sceneryGraphics_.emplace(sceneryLayer_);
        prepare(*sceneryGraphics_);
    }
    // The layer's own canvas repairs it in later frames.
    gfx::Graphics& g = *sceneryGraphics_;
    g.resetClip();
    g.resetTransform();
    placeWorld(g);
    clipToWorld(g);
    g.flush();
    paintSceneryBanded(scene, true, end);
    sceneryObjects_.assign(scene.drawList.begin(), scene.drawList.begin() + static_cast<std::ptrdiff_t>(end));
    return end;
}

bool Renderer::layerShows(const SceneView& scene, std::size_t sceneryEnd) const {
    return sceneryEnd > 0 && sceneryEnd == sceneryObjects_.size() &&
           std::equal(sceneryObjects_.begin(), sceneryObjects_.end(), scene.drawList.begin());
}

void Renderer::holdLayer(const SceneView& scene, std::size_t sceneryEnd) {
    if (!heldBounds_.empty())
        return; // held since the quake began
    if (!layerShows(scene, sceneryEnd)) {
        sceneryObjects_.clear(); // stale: painted anew once all is calm
        return;
    }
    // Called before the frame moves anything: the layer shows every piece where it last stood.
    heldBounds_.reserve(sceneryEnd);
    for (std::size_t i = 0; i < sceneryEnd; ++i)
        heldBounds_.push_back(scene.drawList[i]->lastBounds());
}

bool Renderer::mendHeldLayer(const SceneView& scene, std::size_t sceneryEnd) {
    const std::vector<gfx::RectF> held = std::move(heldBounds_);
    heldBounds_.clear();
    const bool same = held.size() == sceneryEnd && layerShows(scene, sceneryEnd);
    DirtyRectList mend;
    for (std::size_t i = 0; same && i < sceneryEnd; ++i) {
        const Object& object = *scene.drawList[i];
        const gfx::RectF& now = object.lastBounds();
        // A piece that only moves looks as it did wherever it stands where it stood.
        if (keepsSprite(object) && now == held[i])
            continue;
        mend.addCovering(held[i]);
        mend.addCovering(now);
    }
    if (!same || coversMuchOfTheWorld(mend)) {
        sceneryObjects_.clear();
        return false;
    }
    repaintRects(scene, *sceneryGraphics_, sceneryLayer_, mend, 0, sceneryEnd, nullptr);
    return true;
}

void Renderer::repaintWorld(const SceneView& scene, std::size_t sceneryEnd) {
    // The layer would be painted and copied whole in every such frame; painting the world
    // straight into the back buffer saves the copy. The layer is stale from now on.
    sceneryObjects_.clear();
    heldBounds_.clear();
    backGraphics_->flush();
    paintSceneryBanded(scene, false, sceneryEnd);
    drawAboveScenery(scene, sceneryEnd);
}

void Renderer::drawAboveScenery(const SceneView& scene, std::size_t sceneryEnd) {
    gfx::Graphics& g = *backGraphics_;
    g.resetClip();
    clipToWorld(g);
    for (std::size_t i = sceneryEnd; i < scene.drawList.size(); ++i)
        scene.drawList[i]->draw(g);
    g.flush();
}

} // namespace game
