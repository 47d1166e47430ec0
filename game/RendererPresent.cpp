#include "game/Renderer.h"

#include "agents/NavGraph.h"
#include "game/WindowPort.h"
#include "scene/Object.h"

#include <algorithm>
#include <string>

// The last phase of a paint: the overlays over the picture (the navigation graph's paths,
// the dirty rectangles and redrawn objects when asked for) and the copy to the window.

namespace game {

void Renderer::drawNavOverlay(const SceneView& scene, gfx::Graphics& g) const {
    if (scene.navGraph == nullptr)
        return;
    const NavGraph& graph = *scene.navGraph;
    const int source = scene.selectedNode;
    if (source < 0 || source >= graph.nodeCount())
        return;
    // Lines fade with the path cost relative to the farthest reachable node; a node that
    // reaches nothing has no tree to show (and no distance to divide by).
    const double farthest = graph.eccentricity(source);
    if (!(farthest > 0))
        return;

    gfx::Pen pen(0x9696ff96, 6.0f);
    pen.setEndCap(gfx::LineCap::ArrowAnchor);
    const bool betweenNodes = scene.navOverlay == 1;
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

void Renderer::drawDebugOverlays(const SceneView& scene, gfx::Graphics& g,
                                 const std::vector<gfx::RectF>& redrawnBounds,
                                 const DirtyRectList& newRects) {
    if (scene.showRedrawnObjects) {
        for (const gfx::RectF& r : redrawnBounds) {
            const gfx::RectF inset{r.x + 2, r.y + 2, r.width - 4, r.height - 4};
            if (inset.width > 0 && inset.height > 0) {
                g.drawRectangle(redrawnPen_, inset);
                g.fillRectangle(redrawnBrush_, inset);
                debugOverlayOnScreen_ = true;
            }
        }
    }
    if (scene.showDirtyRects) {
        for (const gfx::RectI& r : newRects.rects()) {
            const gfx::RectI inset{r.x + 2, r.y + 2, r.width - 4, r.height - 4};
            if (!inset.isEmpty()) {
                const gfx::RectF f{static_cast<float>(inset.x), static_cast<float>(inset.y),
                                   static_cast<float>(inset.width), static_cast<float>(inset.height)};
                g.drawRectangle(dirtyRectPen_, f);
                g.fillRectangle(dirtyRectBrush_, f);
                debugOverlayOnScreen_ = true;
            }
        }
    }
}

std::optional<std::string> Renderer::redrawStatistics(const SceneView& scene, const DirtyRectList& region) {
    const int total = static_cast<int>(scene.drawList.size());
    if (total == 0)
        return std::nullopt;
    const int touched =
        static_cast<int>(std::count_if(scene.drawList.begin(), scene.drawList.end(),
                                       [&](Object* o) { return region.intersects(o->bounds(false), 2); }));
    const int percent = static_cast<int>(touched * 100.0 / total);
    return std::to_string(percent) + "% = " + std::to_string(touched) + " / " + std::to_string(total);
}

void Renderer::present(WindowPort& window, const gfx::RectI& client, std::vector<gfx::RectI> deviceRects) {
    // Only what lies on the client area is copied.
    std::vector<gfx::RectI> onScreen;
    onScreen.reserve(deviceRects.size());
    for (const gfx::RectI& r : deviceRects) {
        const gfx::RectI clipped = gfx::intersection(r, {0, 0, client.width, client.height});
        if (!clipped.isEmpty())
            onScreen.push_back(clipped);
    }
    if (onScreen.empty())
        return;
    window.present(backBuffer_, onScreen);
    ++presentCount_;
}

void Renderer::presentWhole(WindowPort& window, const gfx::RectI& client) {
    present(window, client, {gfx::RectI{0, 0, client.width, client.height}});
}

void Renderer::presentRegion(WindowPort& window, const gfx::RectI& client, const DirtyRectList& region) {
    std::vector<gfx::RectI> deviceRects = region.toDevice(scale_, 1);
    for (gfx::RectI& r : deviceRects) {
        r.x += origin_.x;
        r.y += origin_.y;
    }
    present(window, client, std::move(deviceRects));
}

} // namespace game
