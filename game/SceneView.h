#pragma once

#include <span>

namespace game {

class NavGraph;
class Object;

// What the renderer paints, as the game hands it over for one paint: the objects back to
// front and the few settings that change the picture. The renderer reads the game through
// this alone and changes nothing of it; what a paint has to say back it returns
// (Renderer::PaintResult). The objects are drawn (drawing keeps their own caches) and their
// redraw bookkeeping (the bounds last painted, the request for a redraw) is the renderer's.
struct SceneView {
    // Every object that is drawn, back to front.
    std::span<Object* const> drawList;
    // The characters: the first of them in the drawList ends the scenery (the house and the
    // garden), which seldom changes.
    std::span<Object* const> agents;
    // The ground quakes: the house and the garden move nearly everywhere this frame.
    bool groundQuaking = false;

    // The navigation overlay ('l'): 0 off, 1 the paths between places, 2 along the walkways,
    // both as the path tree from selectedNode in navGraph.
    int navOverlay = 0;
    int selectedNode = 0;
    const NavGraph* navGraph = nullptr;

    // Debugging overlays: the dirty rectangles ('c') and the objects redrawn ('b').
    bool showDirtyRects = false;
    bool showRedrawnObjects = false;
    // The status box shows how much of the scene a frame repaints (PaintResult::statusText).
    bool redrawStatistics = false;
    // An expose asks for a full redraw ('r' switches this off).
    bool exposeRepaintsAll = true;
};

} // namespace game
