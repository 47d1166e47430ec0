#include "game/Renderer.h"

#include "agents/NavGraph.h"
#include "core/Translate.h"
#include "game/Game.h"
#include "game/WindowPort.h"
#include "level/Ground.h"
#include "level/LightSource.h"
#include "scene/Object.h"
#include "widgets/Trampoline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace game {

std::optional<Renderer::Shapes> Renderer::parseShapes(std::string_view word) {
    if (word == "fast")
        return Shapes::Fast;
    if (word == "cairo")
        return Shapes::Cairo;
    return std::nullopt;
}

Renderer::Shapes Renderer::shapesFromEnvironment() {
    const char* word = std::getenv("HEARTHLY_RENDERER");
    if (word == nullptr || *word == '\0')
        return Shapes::Fast;
    if (const std::optional<Shapes> shapes = parseShapes(word))
        return *shapes;
    std::fprintf(
        stderr, "%s\n",
        core::trFill("hearthly: HEARTHLY_RENDERER must be fast or cairo, not '%s'; painting fast", {word})
            .c_str());
    return Shapes::Fast;
}

void Renderer::setShapes(Shapes shapes) {
    if (shapes == shapes_)
        return;
    shapes_ = shapes;
    if (backGraphics)
        prepare(*backGraphics);
    if (sceneryGraphics)
        prepare(*sceneryGraphics);
    bands_.clear();
    backBufferExact_ = false;
    sceneryObjects.clear(); // the layer was painted the other way
    heldBounds_.clear();
    sprites_.clear();
    fullRedrawPending = true;
}

void Renderer::setPaintThreads(int count) {
    count = std::max(count, 1);
    if (count == paintThreadCount_)
        return;
    paintThreadCount_ = count;
    threads_.reset();
    bands_.clear();
}

double Renderer::scaleFor(int width, int height) {
    if (width <= 0 || height <= 0)
        return 1.0;
    // Wider than the world: the height limits; otherwise the width does.
    if (static_cast<double>(width) / height > Game::kAspect)
        return height * 0.0017123287671232876;
    return width * 0.00125;
}

Renderer::Origin Renderer::originFor(int width, int height) {
    if (width <= 0 || height <= 0)
        return {};
    const double scale = scaleFor(width, height);
    // The limiting side is filled to within rounding, so its bars come out as 0.
    const auto half = [](double spare) {
        return std::max(0, static_cast<int>(std::floor(spare / 2 + 1e-6)));
    };
    return {half(width - Game::kWorldWidth * scale), half(height - Game::kWorldHeight * scale)};
}

void Renderer::placeWorld(gfx::Graphics& g) const {
    g.translateTransform(static_cast<float>(origin_.x), static_cast<float>(origin_.y));
    g.scaleTransform(static_cast<float>(scale_), static_cast<float>(scale_));
}

void Renderer::clipToWorld(gfx::Graphics& g) {
    // Parts of the scene reach past the world's edges (the cable, the drifting light, the
    // quaking ground). Dirty rectangles never leave the world, so nothing may be drawn out
    // there, or it would stay behind on the letter box.
    const gfx::RectI world{0, 0, DirtyRectList::kWorldWidth, DirtyRectList::kWorldHeight};
    g.setClip(world, gfx::CombineMode::Replace);
    // A repaint clipped more closely still cuts shapes at the world's sides just like this.
    g.setClipFrame(world);
}

void Renderer::paint(Game& game, WindowPort& window, bool fromExpose) {
    const gfx::RectI client = window.clientRect();
    // A minimised window or one dragged to nothing has nothing to paint on; the pending
    // full redraw waits for a real size.
    if (client.width <= 0 || client.height <= 0) {
        fullRedrawPending = true;
        return;
    }
    if (client != lastClientRect || (game.paintForcesFullRedraw && fromExpose) || game.navOverlay > 0)
        fullRedrawPending = true;
    // Painting straight into the window's memory saves copying every frame there. When that
    // memory moved (or is no longer offered) the back buffer is made anew and painted whole;
    // nothing is drawn into the old memory, which the window may have freed.
    offered_ = window.sharedPixels();
    if (offered_.data != nullptr && (offered_.width != client.width || offered_.height != client.height ||
                                     offered_.stride < 4 * client.width || offered_.stride % 4 != 0))
        offered_ = {};
    if (backGraphics && offered_.data != backBufferShared_)
        releaseBackBuffer();
    if (overlayDrawn) {
        fullRedrawPending = true;
        overlayDrawn = false;
        backBufferExact_ = false;
    }
    // An expose, a new round or a full-screen switch that keeps the size finds the picture
    // already in the back buffer: what changed since is repainted as in any frame (which
    // paints exactly what a full redraw would), and all of it goes to the window.
    const bool keepsBuffer = backGraphics && backBufferExact_ && client == lastClientRect &&
                             game.navOverlay == 0 && !game.showDirtyRects && !game.showRedrawnObjects;
    if (fullRedrawPending && keepsBuffer) {
        fullRedrawPending = false;
        incrementalRedraw(game, window, client, true);
    } else if (fullRedrawPending || !backGraphics) {
        fullRedraw(game, window, client);
    } else {
        incrementalRedraw(game, window, client, false);
    }
}

void Renderer::releaseBackBuffer() {
    sprites_.clear();
    bands_.clear();
    backBufferExact_ = false;
    backGraphics.reset();
    backBuffer_ = gfx::Surface();
    backBufferShared_ = nullptr;
    sceneryObjects.clear();
    heldBounds_.clear();
    sceneryGraphics.reset();
    sceneryLayer = gfx::Surface();
}

void Renderer::fullRedraw(Game& game, WindowPort& window, const gfx::RectI& client) {
    fullRedrawPending = false;
    lastClientRect = client;
    game.erasedRects.clear();

    // A buffer of the right size is reused: the picture is the same, and the canvas keeps
    // what it caches between frames (the glow masks).
    if (!backGraphics || backBuffer_.width() != client.width || backBuffer_.height() != client.height) {
        releaseBackBuffer();
        if (offered_.data != nullptr)
            backBuffer_ = gfx::Surface::over(offered_.data, client.width, client.height, offered_.stride);
        if (backBuffer_.valid())
            backBufferShared_ = offered_.data;
        else
            backBuffer_ = gfx::Surface(client.width, client.height);
        backGraphics.emplace(backBuffer_);
        prepare(*backGraphics);
    }
    gfx::Graphics& g = *backGraphics;
    g.resetClip();
    g.resetTransform();
    scale_ = scaleFor(client.width, client.height);
    origin_ = originFor(client.width, client.height);
    placeWorld(g);
    clipToWorld(g);
    worldPixels_ = g.clipRects().empty() ? gfx::RectI{} : g.clipRects().front();

    previousRects.clear();
    // The scenery layer of this size, kept up to date frame by frame, already shows the house
    // and the garden as a full repaint would: only what changed in it since the last frame is
    // repainted (an expose or a new round need not paint them again). Everything else is
    // drawn as it stands.
    const std::size_t sceneryEnd = sceneryEndOf(game);
    const bool quake = quaking(game);
    if (quake)
        holdLayer(game, sceneryEnd);
    const bool held = !heldBounds_.empty();
    const bool sceneryKept = !held && sceneryLayer.valid() && sceneryLayer.width() == client.width &&
                             sceneryLayer.height() == client.height && layerShows(game, sceneryEnd);
    DirtyRectList sceneryRects;
    for (std::size_t i = 0; i < game.drawList.size(); ++i) {
        Object* object = game.drawList[i];
        const bool changed = object->isRedrawNeeded();
        // A piece that changes while all is calm may look otherwise now: its picture goes.
        if (changed && !quake && !quakePainted_ && i < sprites_.size())
            sprites_[i] = ObjectSprite();
        object->refreshShape();
        const gfx::RectF bounds = object->pathBounds(true);
        if (sceneryKept && i < sceneryEnd && changed) {
            sceneryRects.addCovering(object->lastBounds());
            sceneryRects.addCovering(bounds);
        }
        object->setLastBounds(bounds);
        object->clearRedrawNeeded();
    }
    quakePainted_ = quake;
    std::size_t layered = 0;
    if (quakePainted_) {
        g.flush();
        g.clear(kBackground);
        quakeArea_.reset(client.width, client.height);
        quakeArea_.add(worldPixels_);
        quakeArea_.settle();
        paintQuakeArea(game, sceneryEnd);
        layered = game.drawList.size(); // all drawn
    } else if (held && mendHeldLayer(game, sceneryEnd)) {
        layered = sceneryEnd;
    } else if (sceneryKept && !coversMuchOfTheWorld(sceneryRects)) {
        repaintRects(game, *sceneryGraphics, sceneryLayer, sceneryRects, 0, sceneryEnd, nullptr);
        layered = sceneryEnd;
    } else {
        layered = paintScenery(game);
    }
    if (quakePainted_) {
        // painted above
    } else if (layered > 0) {
        // The layer is the size of the buffer and starts with the background: it covers all.
        g.flush();
        copyLayerBanded({0, 0, client.width, client.height});
    } else {
        g.clear(kBackground);
    }
    for (std::size_t i = layered; i < game.drawList.size(); ++i)
        game.drawList[i]->draw(g);
    if (game.navOverlay == 1 || game.navOverlay == 2) {
        drawNavOverlay(game, g);
        overlayDrawn = true; // the next paint is full again and erases it
    }
    backBufferExact_ = !overlayDrawn;
    debugOverlayOnScreen_ = false;
    g.flush();
    present(window, client, {gfx::RectI{0, 0, client.width, client.height}});
}

void Renderer::incrementalRedraw(Game& game, WindowPort& window, const gfx::RectI& client, bool presentAll) {
    // Objects before this index are the scenery, kept in its layer while it stays the same.
    const std::size_t sceneryEnd = sceneryEndOf(game);
    const bool sceneryKept = layerShows(game, sceneryEnd);
    const bool quake = quaking(game);
    if (quake) {
        quakeRedraw(game, window, client, presentAll);
        return;
    }
    DirtyRectList newRects;
    DirtyRectList sceneryRects;
    std::vector<gfx::RectF> redrawnBounds;
    int count = 0;
    for (std::size_t i = 0; i < game.drawList.size(); ++i) {
        Object* object = game.drawList[i];
        if (!object->isRedrawNeeded())
            continue;
        // A piece that changes while all is calm may look otherwise now: its picture goes.
        if (!quakePainted_ && i < sprites_.size())
            sprites_[i] = ObjectSprite();
        object->refreshShape();
        const gfx::RectF bounds = object->pathBounds(true);
        previousRects.addCovering(object->lastBounds());
        if (i < sceneryEnd) {
            sceneryRects.addCovering(object->lastBounds());
            sceneryRects.addCovering(bounds);
        }
        object->clearRedrawNeeded();
        newRects.addCovering(bounds);
        ++count;
        if (game.showRedrawnObjects)
            redrawnBounds.push_back(bounds);
        object->setLastBounds(bounds);
    }
    // Scenery painted the other way than it now is must be repainted everywhere.
    const bool modeChanged = quake != quakePainted_;
    quakePainted_ = false;
    if ((count == 0 || newRects.empty()) && !modeChanged) {
        // erasedRects wait for a frame that draws
        if (presentAll)
            present(window, client, {gfx::RectI{0, 0, client.width, client.height}});
        return;
    }

    for (const gfx::RectF& r : game.erasedRects)
        previousRects.addCovering(r);
    DirtyRectList region = newRects;
    if (!previousRects.empty()) {
        previousRects.addAll(newRects);
        region = previousRects;
    }

    const gfx::RectF wholeWorld{0, 0, static_cast<float>(Game::kWorldWidth),
                                static_cast<float>(Game::kWorldHeight)};
    const bool held = !heldBounds_.empty();
    if (sceneryEnd > 0 && held && mendHeldLayer(game, sceneryEnd)) {
        // After a quake: the calm picture, mended, is put back everywhere.
        backGraphics->flush();
        copyLayerBanded(worldPixels_);
        drawAboveScenery(game, sceneryEnd);
        region = DirtyRectList();
        region.add(wholeWorld);
    } else if (sceneryEnd > 0 && (held || modeChanged || coversMuchOfTheWorld(sceneryRects))) {
        // The scenery was put down from its pictures: it is repainted as usual everywhere.
        repaintWorld(game, sceneryEnd);
        region = DirtyRectList();
        region.add(wholeWorld);
    } else {
        // The layer follows its objects' changes first (or is made anew when they are other
        // objects: one left or joined the scenery, whose bounds the region holds).
        std::size_t layered = 0;
        if (sceneryKept) {
            repaintRects(game, *sceneryGraphics, sceneryLayer, sceneryRects, 0, sceneryEnd, nullptr);
            layered = sceneryEnd;
        } else {
            layered = paintScenery(game);
        }
        repaintRects(game, *backGraphics, backBuffer_, region, layered, game.drawList.size(),
                     layered > 0 ? &sceneryLayer : nullptr);
    }

    gfx::Graphics& g = *backGraphics;
    region.clipTo(g);
    if (game.hudMode == 3 && !presentAll)
        updateRedrawStatistics(game, region);

    // The region held last frame's overlay rectangles, so they are gone unless drawn again.
    debugOverlayOnScreen_ = false;
    drawDebugOverlays(game, g, redrawnBounds, newRects);
    if (game.showDirtyRects || game.showRedrawnObjects)
        previousRects = newRects; // repainted next frame, which erases the overlay
    else
        previousRects.clear();

    g.flush();
    g.resetClip();
    game.erasedRects.clear();
    backBufferExact_ = !debugOverlayOnScreen_;
    if (presentAll) {
        present(window, client, {gfx::RectI{0, 0, client.width, client.height}});
        return;
    }
    std::vector<gfx::RectI> deviceRects = region.toDevice(scale_, 1);
    for (gfx::RectI& r : deviceRects) {
        r.x += origin_.x;
        r.y += origin_.y;
    }
    present(window, client, std::move(deviceRects));
}

bool Renderer::coversMuchOfTheWorld(const DirtyRectList& rects) {
    // During an earthquake the whole house and garden move. Repainted rectangle by rectangle,
    // the big shapes cut by each rectangle's sides would be drawn whole once per rectangle;
    // past a third of the world one pass over all of it is cheaper, and paints the same.
    long long area = 0;
    for (const gfx::RectI& r : rects.rects())
        area += static_cast<long long>(r.width) * r.height;
    return area * 3 > static_cast<long long>(Game::kWorldWidth) * Game::kWorldHeight;
}

std::size_t Renderer::sceneryEndOf(const Game& game) {
    // The characters and all drawn after them (widgets, socks) change often; what lies
    // behind them, the house and the garden, seldom does.
    for (std::size_t i = 0; i < game.drawList.size(); ++i) {
        if (std::find(game.agentList.begin(), game.agentList.end(), game.drawList[i]) != game.agentList.end())
            return i;
    }
    return game.drawList.size();
}

std::size_t Renderer::paintScenery(Game& game) {
    sceneryObjects.clear();
    heldBounds_.clear();
    const std::size_t end = sceneryEndOf(game);
    if (end == 0)
        return 0;
    if (!sceneryLayer.valid() || sceneryLayer.width() != backBuffer_.width() ||
        sceneryLayer.height() != backBuffer_.height()) {
        bands_.clear();
        sceneryGraphics.reset();
        sceneryLayer = gfx::Surface(backBuffer_.width(), backBuffer_.height());
        if (!sceneryLayer.valid())
            return 0;
        sceneryGraphics.emplace(sceneryLayer);
        prepare(*sceneryGraphics);
    }
    // The layer's own canvas repairs it in later frames.
    gfx::Graphics& g = *sceneryGraphics;
    g.resetClip();
    g.resetTransform();
    placeWorld(g);
    clipToWorld(g);
    g.flush();
    paintSceneryBanded(game, true, end);
    sceneryObjects.assign(game.drawList.begin(), game.drawList.begin() + static_cast<std::ptrdiff_t>(end));
    return end;
}

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
        if (sceneryLayer.valid()) {
            band->layer = sceneryLayer.alias();
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

void Renderer::drawObjectsInBand(Game& game, gfx::Graphics& g, const Band& band, std::size_t from,
                                 std::size_t to) const {
    // The band's rows in world units, a unit wider on each side for the rounding.
    const double top = (band.rows.y - origin_.y) / scale_ - 1;
    const double bottom = (band.rows.bottom() - origin_.y) / scale_ + 1;
    for (std::size_t i = from; i < to; ++i) {
        Object* object = game.drawList[i];
        const gfx::RectF& b = object->lastBounds();
        if (b.y < bottom && b.bottom() > top)
            object->draw(g);
    }
}

void Renderer::paintSceneryBanded(Game& game, bool onLayer, std::size_t end) {
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
        drawObjectsInBand(game, g, band, 0, end);
        g.flush();
    });
    (onLayer ? sceneryLayer : backBuffer_).markDirty();
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

void Renderer::repaintWorld(Game& game, std::size_t sceneryEnd) {
    // The layer would be painted and copied whole in every such frame; painting the world
    // straight into the back buffer saves the copy. The layer is stale from now on.
    sceneryObjects.clear();
    heldBounds_.clear();
    backGraphics->flush();
    paintSceneryBanded(game, false, sceneryEnd);
    drawAboveScenery(game, sceneryEnd);
}

void Renderer::drawAboveScenery(Game& game, std::size_t sceneryEnd) {
    gfx::Graphics& g = *backGraphics;
    g.resetClip();
    clipToWorld(g);
    for (std::size_t i = sceneryEnd; i < game.drawList.size(); ++i)
        game.drawList[i]->draw(g);
    g.flush();
}

bool Renderer::layerShows(const Game& game, std::size_t sceneryEnd) const {
    return sceneryEnd > 0 && sceneryEnd == sceneryObjects.size() &&
           std::equal(sceneryObjects.begin(), sceneryObjects.end(), game.drawList.begin());
}

void Renderer::holdLayer(const Game& game, std::size_t sceneryEnd) {
    if (!heldBounds_.empty())
        return; // held since the quake began
    if (!layerShows(game, sceneryEnd)) {
        sceneryObjects.clear(); // stale: painted anew once all is calm
        return;
    }
    // Called before the frame moves anything: the layer shows every piece where it last stood.
    heldBounds_.reserve(sceneryEnd);
    for (std::size_t i = 0; i < sceneryEnd; ++i)
        heldBounds_.push_back(game.drawList[i]->lastBounds());
}

bool Renderer::mendHeldLayer(Game& game, std::size_t sceneryEnd) {
    const std::vector<gfx::RectF> held = std::move(heldBounds_);
    heldBounds_.clear();
    const bool same = held.size() == sceneryEnd && layerShows(game, sceneryEnd);
    DirtyRectList mend;
    for (std::size_t i = 0; same && i < sceneryEnd; ++i) {
        const Object& object = *game.drawList[i];
        const gfx::RectF& now = object.lastBounds();
        // A piece that only moves looks as it did wherever it stands where it stood.
        if (keepsSprite(object) && now == held[i])
            continue;
        mend.addCovering(held[i]);
        mend.addCovering(now);
    }
    if (!same || coversMuchOfTheWorld(mend)) {
        sceneryObjects.clear();
        return false;
    }
    repaintRects(game, *sceneryGraphics, sceneryLayer, mend, 0, sceneryEnd, nullptr);
    return true;
}

void Renderer::repaintRects(Game& game, gfx::Graphics& g, gfx::Surface& target, const DirtyRectList& rects,
                            std::size_t from, std::size_t to, const gfx::Surface* below) {
    if (below != nullptr && !rects.empty()) {
        // The layer below is put back under every rectangle; then each object that meets any
        // of them is drawn once, clipped to the ones it meets. Its bounds hold every pixel it
        // paints, so it paints nothing in the others, and each pixel comes out as a pass of
        // its own rectangle would leave it (the canvas cuts a shape the same under any clip).
        g.setClip(rects.rects());
        g.flush();
        for (const gfx::RectI& device : g.clipRects())
            target.copyRect(*below, device);
        drawObjectsMeeting(game, g, rects.rects(), from, to);
        g.flush();
        return;
    }
    // Each rectangle in a pass of its own, filled with the background first.
    for (const gfx::RectI& r : rects.rects()) {
        g.setClip(r, gfx::CombineMode::Replace);
        DirtyRectList::fillDevicePixels(g, r, backgroundBrush);
        drawObjectsMeeting(game, g, std::span(&r, 1), from, to);
    }
    g.flush();
}

void Renderer::drawScene(Game& game, gfx::Graphics& g) const {
    for (Object* object : game.drawList)
        object->draw(g);
    if (game.navOverlay == 1 || game.navOverlay == 2)
        drawNavOverlay(game, g);
}

void Renderer::drawObjectsMeeting(Game& game, gfx::Graphics& g, std::span<const gfx::RectI> rects,
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
        Object* object = game.drawList[i];
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

void Renderer::drawNavOverlay(const Game& game, gfx::Graphics& g) const {
    const NavGraph& graph = game.navGraph;
    const int source = game.selectedNode;
    if (source < 0 || source >= graph.nodeCount())
        return;
    // Lines fade with the path cost relative to the farthest reachable node; a node that
    // reaches nothing has no tree to show (and no distance to divide by).
    const double farthest = graph.eccentricity(source);
    if (!(farthest > 0))
        return;

    gfx::Pen pen(0x9696ff96, 6.0f);
    pen.setEndCap(gfx::LineCap::ArrowAnchor);
    const bool betweenNodes = game.navOverlay == 1;
    const std::vector<NavGraph::PathEntry>& table = graph.pathTable(source);
    for (const NavGraph::PathEntry& entry : table) {
        const NavEdge* edge = entry.lastEdge;
        if (edge == nullptr || edge->from == nullptr || edge->to == nullptr)
            continue;
        const auto alpha =
            static_cast<std::uint8_t>(static_cast<int>(255 - entry.cost * 200.0 / farthest) & 0xff);
        gfx::PointF from =
            betweenNodes ? gfx::PointF{static_cast<float>(edge->from->x), static_cast<float>(edge->from->y)}
                         : edge->start();
        gfx::PointF to = betweenNodes
                             ? gfx::PointF{static_cast<float>(edge->to->x), static_cast<float>(edge->to->y)}
                             : edge->end();
        const gfx::PointF a{from.x + 0.05f * (to.x - from.x), from.y + 0.05f * (to.y - from.y)};
        const gfx::PointF b{from.x + 0.95f * (to.x - from.x), from.y + 0.95f * (to.y - from.y)};
        gfx::Argb colour =
            betweenNodes ? gfx::makeArgb(alpha, 0xc8, 0xff, 0xc8) : gfx::makeArgb(alpha, 0xff, 0xc8, 0xc8);
        if (edge->from->index == source) {
            // Edges leaving the source stand out: opaque, red and green swapped, with a dot.
            pen.setStartCap(gfx::LineCap::RoundAnchor);
            colour = betweenNodes ? gfx::makeArgb(0xff, 0xff, 0xc8, 0) : gfx::makeArgb(0xff, 0xc8, 0xff, 0);
        } else {
            pen.setStartCap(gfx::LineCap::Flat);
        }
        pen.setColor(colour);
        g.drawLine(pen, a, b);
    }
}

void Renderer::drawDebugOverlays(Game& game, gfx::Graphics& g, const std::vector<gfx::RectF>& redrawnBounds,
                                 const DirtyRectList& newRects) {
    if (game.showRedrawnObjects) {
        for (const gfx::RectF& r : redrawnBounds) {
            const gfx::RectF inset{r.x + 2, r.y + 2, r.width - 4, r.height - 4};
            if (inset.width > 0 && inset.height > 0) {
                g.drawRectangle(redrawnPen, inset);
                g.fillRectangle(redrawnBrush, inset);
                debugOverlayOnScreen_ = true;
            }
        }
    }
    if (game.showDirtyRects) {
        for (const gfx::RectI& r : newRects.rects()) {
            const gfx::RectI inset{r.x + 2, r.y + 2, r.width - 4, r.height - 4};
            if (!inset.isEmpty()) {
                const gfx::RectF f{static_cast<float>(inset.x), static_cast<float>(inset.y),
                                   static_cast<float>(inset.width), static_cast<float>(inset.height)};
                g.drawRectangle(dirtyRectPen, f);
                g.fillRectangle(dirtyRectBrush, f);
                debugOverlayOnScreen_ = true;
            }
        }
    }
}

void Renderer::updateRedrawStatistics(Game& game, const DirtyRectList& region) const {
    const int total = static_cast<int>(game.drawList.size());
    if (total == 0)
        return;
    const int touched =
        static_cast<int>(std::count_if(game.drawList.begin(), game.drawList.end(),
                                       [&](Object* o) { return region.intersects(o->bounds(false), 2); }));
    const int percent = static_cast<int>(touched * 100.0 / total);
    game.setStatusText(std::to_string(percent) + "% = " + std::to_string(touched) + " / " +
                       std::to_string(total));
}

void Renderer::present(WindowPort& window, const gfx::RectI& client, std::vector<gfx::RectI> deviceRects) {
    // Only what lies on the client area is copied.
    std::vector<gfx::RectI> onScreen;
    onScreen.reserve(deviceRects.size());
    for (const gfx::RectI& r : deviceRects) {
        const int left = std::max(r.x, 0);
        const int top = std::max(r.y, 0);
        const gfx::RectI clipped{left, top, std::min(r.right(), client.width) - left,
                                 std::min(r.bottom(), client.height) - top};
        if (!clipped.isEmpty())
            onScreen.push_back(clipped);
    }
    if (onScreen.empty())
        return;
    window.present(backBuffer_, onScreen);
    ++presentCount_;
}

void Renderer::renderFullInto(Game& game, gfx::Surface& target) const {
    gfx::Graphics g(target);
    prepare(g);
    g.clear(kBackground);
    placeWorld(g);
    clipToWorld(g);
    if (quaking(game)) {
        // The scenery's kept pictures, as the frames put them down; a piece without one
        // gets a picture of its own, made just as the frames make theirs.
        const std::size_t end = sceneryEndOf(game);
        std::vector<const ObjectSprite*> sprites = spritePointers(game, end);
        std::vector<ObjectSprite> made(end);
        for (std::size_t i = 0; i < end; ++i) {
            if (sprites[i] == nullptr && keepsSprite(*game.drawList[i])) {
                made[i] = makeSprite(*game.drawList[i]);
                sprites[i] = &made[i];
            }
        }
        paintQuakeScenery(game, g, target, {0, 0, DirtyRectList::kWorldWidth, DirtyRectList::kWorldHeight},
                          {}, end, sprites);
        g.resetClip();
        clipToWorld(g);
        for (std::size_t i = end; i < game.drawList.size(); ++i)
            game.drawList[i]->draw(g);
        if (game.navOverlay == 1 || game.navOverlay == 2)
            drawNavOverlay(game, g);
    } else {
        drawScene(game, g);
    }
    g.flush();
}

bool Renderer::quaking(const Game& game) const {
    return quakePictures_ && game.ground().isQuakeActive();
}

bool Renderer::keepsSprite(const Object& object) const {
    // The light drifts on its own and the trampolines change colour as they arm: both are
    // drawn as usual. So is anything with no size or a picture too big to keep.
    if (dynamic_cast<const LightSource*>(&object) != nullptr ||
        dynamic_cast<const Trampoline*>(&object) != nullptr)
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

void Renderer::updateSprites(Game& game, std::size_t end) {
    if (sprites_.size() != end)
        sprites_.resize(end);
    std::vector<std::size_t> stale;
    for (std::size_t i = 0; i < end; ++i) {
        Object& object = *game.drawList[i];
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
        sprites_[i] = makeSprite(*game.drawList[i]);
    });
}

std::vector<const Renderer::ObjectSprite*> Renderer::spritePointers(const Game& game, std::size_t end) const {
    std::vector<const ObjectSprite*> out(end, nullptr);
    for (std::size_t i = 0; i < end && i < sprites_.size(); ++i) {
        if (keepsSprite(*game.drawList[i]) && spriteFits(sprites_[i], *game.drawList[i]))
            out[i] = &sprites_[i];
    }
    return out;
}

void Renderer::paintQuakeScenery(Game& game, gfx::Graphics& g, gfx::Surface& target,
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
        Object* object = game.drawList[i];
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

void Renderer::quakeRedraw(Game& game, WindowPort& window, const gfx::RectI& client, bool presentAll) {
    const std::size_t sceneryEnd = sceneryEndOf(game);
    // Scenery painted the other way (or overlays on the picture) is repainted everywhere.
    const bool overlays = game.showDirtyRects || game.showRedrawnObjects;
    bool wholeWorld = !quakePainted_ || overlays || !previousRects.empty();
    holdLayer(game, sceneryEnd); // before anything moves
    quakePainted_ = true;
    quakeArea_.reset(client.width, client.height);

    // Working out exactly which pixels a move changes costs by the row and saves by the pixel:
    // it pays on big screens only.
    const bool exactMoves = scale_ >= kExactMovesScale;
    // Where each picture lies now, before the frame moves anything.
    const std::vector<const ObjectSprite*> before = spritePointers(game, sceneryEnd);
    std::vector<gfx::RectF> redrawnBounds;
    DirtyRectList newRects;
    int count = 0;
    for (std::size_t i = 0; i < game.drawList.size(); ++i) {
        Object* object = game.drawList[i];
        if (!object->isRedrawNeeded())
            continue;
        object->refreshShape();
        const gfx::RectF bounds = object->pathBounds(true);
        const ObjectSprite* sprite = i < before.size() ? before[i] : nullptr;
        if (sprite != nullptr) {
            const Origin from = spriteSpot(*sprite, *object);
            if (std::abs(bounds.width - sprite->width) < 1e-3f &&
                std::abs(bounds.height - sprite->height) < 1e-3f) {
                const Origin to = spriteSpot(*sprite, bounds);
                if (exactMoves) {
                    // Only what the move changes: the ground's inside and the middles of
                    // thick lines lie on their own colour again.
                    sprite->sprite.addMove(quakeArea_, from.x, from.y, to.x, to.y, worldPixels_);
                } else {
                    addSpriteCover(quakeArea_, *sprite, from);
                    addSpriteCover(quakeArea_, *sprite, to);
                }
            } else {
                addSpriteCover(quakeArea_, *sprite, from);
                quakeArea_.add(deviceBox(bounds)); // a new picture, within half a pixel
            }
        } else {
            quakeArea_.add(deviceBox(object->lastBounds()));
            quakeArea_.add(deviceBox(bounds));
        }
        object->clearRedrawNeeded();
        object->setLastBounds(bounds);
        ++count;
        if (overlays)
            newRects.addCovering(bounds);
        if (game.showRedrawnObjects)
            redrawnBounds.push_back(bounds);
    }
    for (const gfx::RectF& r : game.erasedRects)
        quakeArea_.add(deviceBox(r));
    if (count == 0 && game.erasedRects.empty() && !wholeWorld) {
        if (presentAll)
            present(window, client, {gfx::RectI{0, 0, client.width, client.height}});
        return;
    }
    game.erasedRects.clear();
    quakeArea_.settle();
    const long long worldArea = static_cast<long long>(worldPixels_.width) * worldPixels_.height;
    if (wholeWorld || quakeArea_.area() * 4 > worldArea * 3) {
        // Past three quarters of the world one rectangle is as cheap, and simpler to copy.
        wholeWorld = true;
        quakeArea_.reset(client.width, client.height);
        quakeArea_.add(worldPixels_);
        quakeArea_.settle();
    }
    paintQuakeArea(game, sceneryEnd);

    gfx::Graphics& g = *backGraphics;
    debugOverlayOnScreen_ = false;
    if (overlays) {
        DirtyRectList world;
        world.add({0, 0, static_cast<float>(Game::kWorldWidth), static_cast<float>(Game::kWorldHeight)});
        world.clipTo(g);
        drawDebugOverlays(game, g, redrawnBounds, newRects);
        g.flush();
        g.resetClip();
        clipToWorld(g);
    }
    previousRects.clear();
    if (debugOverlayOnScreen_)
        previousRects = newRects; // any rectangle there makes the next frame repaint it all
    backBufferExact_ = !debugOverlayOnScreen_;
    if (presentAll) {
        present(window, client, {gfx::RectI{0, 0, client.width, client.height}});
        return;
    }
    if (wholeWorld) {
        present(window, client, {worldPixels_});
    } else if (exactMoves) {
        // The changed pixels are scattered (edges of outlines): joined into fewer rectangles,
        // a few unchanged pixels between them are copied along rather than a copy per run.
        present(window, client, quakeArea_.coarseRects(kPresentBandRows, kPresentGap));
    } else {
        present(window, client, quakeArea_.rects());
    }
}

void Renderer::paintQuakeArea(Game& game, std::size_t sceneryEnd) {
    updateSprites(game, sceneryEnd);
    const std::vector<const ObjectSprite*> sprites = spritePointers(game, sceneryEnd);
    // What is drawn as usual is drawn whole wherever it reaches into the area, so its whole
    // box joins the area (and may reach others in turn): it is never drawn over itself.
    quakeDrawn_.assign(game.drawList.size(), 0);
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = 0; i < game.drawList.size(); ++i) {
            if (quakeDrawn_[i] || (i < sceneryEnd && sprites[i] != nullptr))
                continue;
            const gfx::RectI box = deviceBox(game.drawList[i]->lastBounds());
            if (!box.isEmpty() && quakeArea_.meets(box)) {
                quakeArea_.add(box);
                quakeDrawn_[i] = 1;
                grew = true;
            }
        }
        if (grew)
            quakeArea_.settle();
    }

    gfx::Graphics& g = *backGraphics;
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
            Object* object = game.drawList[i];
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
    for (std::size_t i = sceneryEnd; i < game.drawList.size(); ++i) {
        if (quakeDrawn_[i])
            game.drawList[i]->draw(g);
    }
    g.flush();
}

} // namespace game
