#include "game/Renderer.h"

#include "core/Translate.h"
#include "game/WindowPort.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// The renderer's setup and the start of every paint: which repaint the frame takes. The
// phases themselves are in files of their own (Renderer.h lists them).

namespace game {

namespace {

// The world's size in units, as the scale and the letter box see it.
constexpr int kWorldWidth = DirtyRectList::kWorldWidth;
constexpr int kWorldHeight = DirtyRectList::kWorldHeight;

} // namespace

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
    if (backGraphics_)
        prepare(*backGraphics_);
    if (sceneryGraphics_)
        prepare(*sceneryGraphics_);
    bands_.clear();
    backBufferExact_ = false;
    sceneryObjects_.clear(); // the layer was painted the other way
    heldBounds_.clear();
    sprites_.clear();
    fullRedrawPending_ = true;
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
    if (static_cast<double>(width) / height > DirtyRectList::kWorldAspect)
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
    return {half(width - kWorldWidth * scale), half(height - kWorldHeight * scale)};
}

void Renderer::placeWorld(gfx::Graphics& g) const {
    g.translateTransform(static_cast<float>(origin_.x), static_cast<float>(origin_.y));
    g.scaleTransform(static_cast<float>(scale_), static_cast<float>(scale_));
}

void Renderer::clipToWorld(gfx::Graphics& g) {
    // Parts of the scene reach past the world's edges (the cable, the drifting light, the
    // quaking ground). Dirty rectangles never leave the world, so nothing may be drawn out
    // there, or it would stay behind on the letter box.
    const gfx::RectI world{0, 0, kWorldWidth, kWorldHeight};
    g.setClip(world, gfx::CombineMode::Replace);
    // A repaint clipped more closely still cuts shapes at the world's sides just like this.
    g.setClipFrame(world);
}

bool Renderer::quaking(const SceneView& scene) const {
    return quakePictures_ && scene.groundQuaking;
}

Renderer::PaintResult Renderer::paint(const SceneView& scene, WindowPort& window, bool fromExpose) {
    const gfx::RectI client = window.clientRect();
    // A minimised window or one dragged to nothing has nothing to paint on; the pending
    // full redraw waits for a real size.
    if (client.width <= 0 || client.height <= 0) {
        fullRedrawPending_ = true;
        return {};
    }
    if (client != lastClientRect_ || (scene.exposeRepaintsAll && fromExpose) || scene.navOverlay > 0)
        fullRedrawPending_ = true;
    // Painting straight into the window's memory saves copying every frame there. When that
    // memory moved (or is no longer offered) the back buffer is made anew and painted whole;
    // nothing is drawn into the old memory, which the window may have freed.
    offered_ = window.sharedPixels();
    if (offered_.data != nullptr && (offered_.width != client.width || offered_.height != client.height ||
                                     offered_.stride < 4 * client.width || offered_.stride % 4 != 0))
        offered_ = {};
    if (backGraphics_ && offered_.data != backBufferShared_)
        releaseBackBuffer();
    if (overlayDrawn_) {
        fullRedrawPending_ = true;
        overlayDrawn_ = false;
        backBufferExact_ = false;
    }
    // An expose, a new round or a full-screen switch that keeps the size finds the picture
    // already in the back buffer: what changed since is repainted as in any frame (which
    // paints exactly what a full redraw would), and all of it goes to the window.
    const bool keepsBuffer = backGraphics_ && backBufferExact_ && client == lastClientRect_ &&
                             scene.navOverlay == 0 && !scene.showDirtyRects && !scene.showRedrawnObjects;
    const bool full = fullRedrawPending_ && !keepsBuffer;
    if (full || !backGraphics_) {
        fullRedraw(scene, window, client);
        return {};
    }
    const bool presentAll = fullRedrawPending_;
    fullRedrawPending_ = false;
    if (quaking(scene)) {
        quakeRedraw(scene, window, client, presentAll);
        return {};
    }
    return incrementalRedraw(scene, window, client, presentAll);
}

void Renderer::releaseBackBuffer() {
    sprites_.clear();
    bands_.clear();
    backBufferExact_ = false;
    backGraphics_.reset();
    backBuffer_ = gfx::Surface();
    backBufferShared_ = nullptr;
    sceneryObjects_.clear();
    heldBounds_.clear();
    sceneryGraphics_.reset();
    sceneryLayer_ = gfx::Surface();
}

} // namespace game
