#include "game/Renderer.h"

#include "scene/Object.h"

#include <algorithm>

// The big repaints (the scenery, a quaking world, a full redraw's copy of the layer) in bands
// of rows on the paint threads at once; each band has canvases of its own over the buffers'
// pixels, and the picture is the same for any number of bands.

namespace game {

gfx::PaintThreads& Renderer::threads() {
    if (!threads_)
        threads_ = std::make_unique<gfx::PaintThreads>(paintThreadCount_);
    return *threads_;
}

std::vector<std::unique_ptr<Renderer::Band>>& Renderer::bands() {
    if (!bands_.empty() || !backBuffer_.valid())
        return bands_;
    // More bands than threads: the sky costs little, the house a lot, and a thread that is
    // done early takes the next band.
    const int height = backBuffer_.height();
    const int count = paintThreadCount_ == 1 ? 1 : std::min(height, paintThreadCount_ * 3);
    for (int i = 0; i < count; ++i) {
        auto band = std::make_unique<Band>();
        const int top = static_cast<int>(static_cast<long long>(height) * i / count);
        const int bottom = static_cast<int>(static_cast<long long>(height) * (i + 1) / count);
        band->rows = {0, top, backBuffer_.width(), bottom - top};
        band->back = backBuffer_.alias();
        band->backGraphics.emplace(band->back);
        prepare(*band->backGraphics);
        if (sceneryLayer_.valid()) {
            band->layer = sceneryLayer_.alias();
            band->layerGraphics.emplace(band->layer);
            prepare(*band->layerGraphics);
        }
        bands_.push_back(std::move(band));
    }
    return bands_;
}

void Renderer::prepareBand(gfx::Graphics& g, const Band& band) const {
    g.resetClip();
    g.resetTransform();
    g.setBand(band.rows);
    placeWorld(g);
    clipToWorld(g);
}

void Renderer::drawObjectsInBand(const SceneView& scene, gfx::Graphics& g, const Band& band, std::size_t from,
                                 std::size_t to) const {
    // The band's rows in world units, a unit wider on each side for the rounding.
    const double top = (band.rows.y - origin_.y) / scale_ - 1;
    const double bottom = (band.rows.bottom() - origin_.y) / scale_ + 1;
    for (std::size_t i = from; i < to; ++i) {
        Object* object = scene.drawList[i];
        const gfx::RectF& b = object->lastBounds();
        if (b.y < bottom && b.bottom() > top)
            object->draw(g);
    }
}

void Renderer::paintSceneryBanded(const SceneView& scene, bool onLayer, std::size_t end) {
    std::vector<std::unique_ptr<Band>>& all = bands();
    threads().run(static_cast<int>(all.size()), [&](int i) {
        Band& band = *all[static_cast<std::size_t>(i)];
        gfx::Graphics& g = onLayer ? *band.layerGraphics : *band.backGraphics;
        gfx::Surface& target = onLayer ? band.layer : band.back;
        prepareBand(g, band);
        if (onLayer) {
            target.fillRect(band.rows, kBackground); // the letter box too: the layer covers all
        } else {
            for (const gfx::RectI& r : g.clipRects())
                target.fillRect(r, kBackground);
        }
        drawObjectsInBand(scene, g, band, 0, end);
        g.flush();
    });
    (onLayer ? sceneryLayer_ : backBuffer_).markDirty();
}

void Renderer::copyLayerBanded(const gfx::RectI& rect) {
    std::vector<std::unique_ptr<Band>>& all = bands();
    threads().run(static_cast<int>(all.size()), [&](int i) {
        Band& band = *all[static_cast<std::size_t>(i)];
        const int top = std::max(rect.y, band.rows.y);
        const int bottom = std::min(rect.bottom(), band.rows.bottom());
        if (bottom > top)
            band.back.copyRect(band.layer, {rect.x, top, rect.width, bottom - top});
    });
    backBuffer_.markDirty(rect);
}

} // namespace game
