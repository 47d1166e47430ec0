#include "game/Renderer.h"

#include "game/WindowPort.h"
#include "scene/Object.h"

// A full redraw: the back buffer made (or kept, at the same size) and painted whole, and all
// of it put on the window. The scenery is taken from its layer where the layer still shows it.

namespace game {

void Renderer::fullRedraw(const SceneView& scene, WindowPort& window, const gfx::RectI& client) {
    fullRedrawPending_ = false;
    lastClientRect_ = client;
    erasedRects_.clear();
    prepareBackBuffer(client);
    gfx::Graphics& g = *backGraphics_;
    previousRects_.clear();

    const std::size_t sceneryEnd = sceneryEndOf(scene);
    const bool quake = quaking(scene);
    if (quake)
        holdLayer(scene, sceneryEnd); // before anything moves
    const std::size_t layered = paintFullScenery(scene, client, sceneryEnd, quake);
    for (std::size_t i = layered; i < scene.drawList.size(); ++i)
        scene.drawList[i]->draw(g);
    if (scene.navOverlay == 1 || scene.navOverlay == 2) {
        drawNavOverlay(scene, g);
        overlayDrawn_ = true; // the next paint is full again and erases it
    }
    backBufferExact_ = !overlayDrawn_;
    debugOverlayOnScreen_ = false;
    g.flush();
    presentWhole(window, client);
}

void Renderer::prepareBackBuffer(const gfx::RectI& client) {
    // A buffer of the right size is reused: the picture is the same, and the canvas keeps
    // what it caches between frames (the glow masks).
    if (!backGraphics_ || backBuffer_.width() != client.width || backBuffer_.height() != client.height) {
        releaseBackBuffer();
        if (offered_.data != nullptr)
            backBuffer_ = gfx::Surface::over(offered_.data, client.width, client.height, offered_.stride);
        if (backBuffer_.valid())
            backBufferShared_ = offered_.data;
        else
            backBuffer_ = gfx::Surface(client.width, client.height);
        backGraphics_.emplace(backBuffer_);
        prepare(*backGraphics_);
    }
    gfx::Graphics& g = *backGraphics_;
    g.resetClip();
    g.resetTransform();
    scale_ = scaleFor(client.width, client.height);
    origin_ = originFor(client.width, client.height);
    placeWorld(g);
    clipToWorld(g);
    worldPixels_ = g.clipRects().empty() ? gfx::RectI{} : g.clipRects().front();
}

std::size_t Renderer::paintFullScenery(const SceneView& scene, const gfx::RectI& client,
                                       std::size_t sceneryEnd, bool quake) {
    // The scenery layer of this size, kept up to date frame by frame, already shows the house
    // and the garden as a full repaint would: only what changed in it since the last frame is
    // repainted (an expose or a new round need not paint them again). Everything else is
    // drawn as it stands.
    const bool held = !heldBounds_.empty();
    const bool sceneryKept = !held && sceneryLayer_.valid() && sceneryLayer_.width() == client.width &&
                             sceneryLayer_.height() == client.height && layerShows(scene, sceneryEnd);
    gatherChanges(scene, true);
    if (!quake && !quakePainted_)
        forgetChangedPictures();
    DirtyRectList sceneryRects;
    for (const Change& change : changes_) {
        if (sceneryKept && change.index < sceneryEnd && change.redrawn) {
            sceneryRects.addCovering(change.before);
            sceneryRects.addCovering(change.now);
        }
    }
    quakePainted_ = quake;
    gfx::Graphics& g = *backGraphics_;
    if (quake) {
        g.flush();
        g.clear(kBackground);
        quakeArea_.reset(client.width, client.height);
        quakeArea_.add(worldPixels_);
        quakeArea_.settle();
        paintQuakeArea(scene, sceneryEnd);
        return scene.drawList.size(); // all drawn
    }
    std::size_t layered = 0;
    if (held && mendHeldLayer(scene, sceneryEnd)) {
        layered = sceneryEnd;
    } else if (sceneryKept && !coversMuchOfTheWorld(sceneryRects)) {
        repaintRects(scene, *sceneryGraphics_, sceneryLayer_, sceneryRects, 0, sceneryEnd, nullptr);
        layered = sceneryEnd;
    } else {
        layered = paintScenery(scene);
    }
    if (layered > 0) {
        // The layer is the size of the buffer and starts with the background: it covers all.
        g.flush();
        copyLayerBanded({0, 0, client.width, client.height});
    } else {
        g.clear(kBackground);
    }
    return layered;
}

void Renderer::renderFullInto(const SceneView& scene, gfx::Surface& target) const {
    gfx::Graphics g(target);
    prepare(g);
    g.clear(kBackground);
    placeWorld(g);
    clipToWorld(g);
    if (!quaking(scene)) {
        drawScene(scene, g);
        g.flush();
        return;
    }
    // The scenery's kept pictures, as the frames put them down; a piece without one gets a
    // picture of its own, made just as the frames make theirs.
    const std::size_t end = sceneryEndOf(scene);
    std::vector<const ObjectSprite*> sprites = spritePointers(scene, end);
    std::vector<ObjectSprite> made(end);
    for (std::size_t i = 0; i < end; ++i) {
        if (sprites[i] == nullptr && keepsSprite(*scene.drawList[i])) {
            made[i] = makeSprite(*scene.drawList[i]);
            sprites[i] = &made[i];
        }
    }
    paintQuakeScenery(scene, g, target, {0, 0, DirtyRectList::kWorldWidth, DirtyRectList::kWorldHeight}, {},
                      end, sprites);
    g.resetClip();
    clipToWorld(g);
    for (std::size_t i = end; i < scene.drawList.size(); ++i)
        scene.drawList[i]->draw(g);
    if (scene.navOverlay == 1 || scene.navOverlay == 2)
        drawNavOverlay(scene, g);
    g.flush();
}

void Renderer::drawScene(const SceneView& scene, gfx::Graphics& g) const {
    for (Object* object : scene.drawList)
        object->draw(g);
    if (scene.navOverlay == 1 || scene.navOverlay == 2)
        drawNavOverlay(scene, g);
}

} // namespace game
