#pragma once

#include "game/DirtyRectList.h"
#include "game/SceneView.h"
#include "game/WindowPort.h"
#include "gfx/Brush.h"
#include "gfx/Graphics.h"
#include "gfx/PaintThreads.h"
#include "gfx/Pen.h"
#include "gfx/Sprite.h"
#include "gfx/Surface.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game {

class Object;
class WindowPort;

// Turns the scene into pixels: a back buffer of the client size with the world scaled
// uniformly onto it (letter-boxed on black), repainting only the dirty rectangles of the
// world on most frames and copying only those to the window.
class Renderer {
public:
    static constexpr gfx::Argb kBackground = 0xff000000;

    // Who paints the small solid shapes (figures, socks, outlines): the game's own rasterizer
    // straight into the pixels, or Cairo like everything else, to compare a frame with the
    // reference or time what the fast path saves.
    enum class Shapes { Fast, Cairo };
    // "fast" or "cairo"; nothing for any other word.
    static std::optional<Shapes> parseShapes(std::string_view word);
    // The choice in HEARTHLY_RENDERER; fast when it is unset (or, said on stderr, unknown).
    static Shapes shapesFromEnvironment();

    Renderer() = default;
    explicit Renderer(Shapes shapes) : shapes_(shapes) {}
    Shapes shapes() const { return shapes_; }
    // Takes effect at once: the next paint redraws everything.
    void setShapes(Shapes shapes);

    // Threads that paint the big repaints (the scenery, a quaking world, a full redraw's copy)
    // in bands of rows at once; the picture is the same for any number. Starts from
    // HEARTHLY_PAINT_THREADS or the core count (PaintThreads::countFromEnvironment).
    void setPaintThreads(int count);

    // Whether a quaking house is put down from pictures of its pieces (the default) or
    // painted anew every frame, to measure what the pictures save. The next paint is full.
    void setQuakePictures(bool on) {
        quakePictures_ = on;
        requestRepaintFromScratch();
    }

    // A position in client pixels.
    struct Origin {
        int x = 0;
        int y = 0;
        friend bool operator==(const Origin&, const Origin&) = default;
    };

    // What a paint has to say back to the game, which applies it.
    struct PaintResult {
        // The redraw statistics for the status box (SceneView::redrawStatistics), when a frame
        // measured them.
        std::optional<std::string> statusText;
    };
    // fromExpose: the window system asked for the repaint (an expose), not the frame cycle.
    [[nodiscard]] PaintResult paint(const SceneView& scene, WindowPort& window, bool fromExpose);
    void releaseBackBuffer();
    // The next paint puts the whole picture on the window. While the back buffer of this size
    // holds exactly what a full redraw would have painted, only what changed is repainted.
    void requestFullRedraw() { fullRedrawPending_ = true; }
    // As above, and the back buffer is painted anew whatever it holds (after frames that were
    // simulated but not painted, or to time a repaint of everything).
    void requestRepaintFromScratch() {
        fullRedrawPending_ = true;
        backBufferExact_ = false;
    }
    // An object left the scene: the next paint that draws anything clears where it was last
    // drawn (world units).
    void eraseLater(const gfx::RectF& lastBounds) { erasedRects_.push_back(lastBounds); }
    // What waits to be cleared.
    const std::vector<gfx::RectF>& erasedRects() const { return erasedRects_; }

    // Window pixels per world unit; 1 until the first full redraw.
    double scale() const { return scale_; }
    // Where the world's top-left corner lies in the client area: the bars of a letter box
    // are split evenly on both sides. (0, 0) until the first full redraw.
    Origin origin() const { return origin_; }
    const gfx::Surface& backBuffer() const { return backBuffer_; }
    // Paints so far that put anything on the window.
    long long presentCount() const { return presentCount_; }
    // True while the dirty-rectangle or redrawn-object overlay is still on the window.
    bool debugOverlayOnScreen() const { return debugOverlayOnScreen_; }

    // What a full redraw of the scene as it now stands would show, drawn into target (of
    // the back buffer's size) without touching the renderer or any object's bookkeeping.
    void renderFullInto(const SceneView& scene, gfx::Surface& target) const;

    // The letter-box scale for a client area: the world fills the limiting dimension.
    static double scaleFor(int width, int height);
    // The world's top-left corner in a client area of this size, in whole pixels so that
    // the picture stays on the same pixel grid as an unmoved one.
    static Origin originFor(int width, int height);

private:
    // A paint runs in phases, each in a file of its own:
    //   Renderer.cpp            the paint's choice of repaint, the placement, the buffers
    //   RendererGather.cpp      what changed since the last paint, and the scenery
    //   RendererFull.cpp        a full redraw (and renderFullInto)
    //   RendererIncremental.cpp a calm frame: the dirty rectangles, the scenery layer
    //   RendererQuake.cpp       a frame while the ground quakes, from the pictures
    //   RendererSprites.cpp     the pictures of the scenery a quake puts down
    //   RendererBands.cpp       big repaints in bands of rows on the paint threads
    //   RendererPresent.cpp     the overlays and what goes to the window

    // --- Renderer.cpp
    static void clipToWorld(gfx::Graphics& g);
    void placeWorld(gfx::Graphics& g) const;
    // Whether this frame is painted from the pictures of the scenery.
    bool quaking(const SceneView& scene) const;

    // --- RendererGather.cpp
    // One object's change since the last paint.
    struct Change {
        std::size_t index = 0; // in the drawList
        gfx::RectF before;     // its bounds as last painted
        gfx::RectF now;        // its bounds as it stands
        bool redrawn = false;  // it asked for a redraw (a full redraw takes every object)
    };
    // The one pass over the objects before a repaint: each that asked for a redraw (every
    // object, for a full redraw) has its shape refreshed, its last bounds moved on and its
    // request cleared, and joins changes_ with where it was and is, in drawList order.
    void gatherChanges(const SceneView& scene, bool everyObject);
    // A piece that changed while all is calm may look otherwise now: its picture goes.
    void forgetChangedPictures();
    // Index of the drawList's first object that is not scenery.
    static std::size_t sceneryEndOf(const SceneView& scene);
    // Whether dirty rectangles add up to more than a third of the world.
    static bool coversMuchOfTheWorld(const DirtyRectList& rects);

    // --- RendererFull.cpp
    void fullRedraw(const SceneView& scene, WindowPort& window, const gfx::RectI& client);
    // Makes the back buffer anew unless it has the client's size; sets the placement up.
    void prepareBackBuffer(const gfx::RectI& client);
    // Puts the scenery of the full redraw down; returns how many of the drawList's objects
    // that painted (the rest are drawn over it).
    std::size_t paintFullScenery(const SceneView& scene, const gfx::RectI& client, std::size_t sceneryEnd,
                                 bool quake);
    // Every object of the drawList, back to front, plus the navigation overlay if it is on.
    void drawScene(const SceneView& scene, gfx::Graphics& g) const;

    // --- RendererIncremental.cpp
    // presentAll: the whole picture goes to the window, not only what was repainted.
    PaintResult incrementalRedraw(const SceneView& scene, WindowPort& window, const gfx::RectI& client,
                                  bool presentAll);
    // Repaints region (or all the world, which it then holds) of the back buffer: the
    // scenery from its layer, the rest drawn over it.
    void repaintRegion(const SceneView& scene, DirtyRectList& region, const DirtyRectList& sceneryRects,
                       std::size_t sceneryEnd, bool modeChanged);
    // Repaints each rectangle on g: copied from below (or filled with the background), then
    // the drawList's objects [from, to) that meet it.
    void repaintRects(const SceneView& scene, gfx::Graphics& g, gfx::Surface& target,
                      const DirtyRectList& rects, std::size_t from, std::size_t to,
                      const gfx::Surface* below);
    // Objects of the drawList [from, to) whose last bounds meet any of the rectangles, each
    // drawn once, clipped to the rectangles it meets.
    void drawObjectsMeeting(const SceneView& scene, gfx::Graphics& g, std::span<const gfx::RectI> rects,
                            std::size_t from, std::size_t to);
    // Draws the scenery into its layer anew; returns how many objects it holds (0: no layer).
    std::size_t paintScenery(const SceneView& scene);
    // Whether the scenery layer was painted with the drawList's objects [0, sceneryEnd).
    bool layerShows(const SceneView& scene, std::size_t sceneryEnd) const;
    // While the ground quakes the scenery layer is left as it was in the last calm frame, and
    // heldBounds_ (by drawList index) keeps where each of its objects stood then. When all is
    // calm again the house and the garden are mostly back where they stood: the layer, mended
    // where anything stands otherwise, is copied instead of the whole world being repainted.
    void holdLayer(const SceneView& scene, std::size_t sceneryEnd);
    // Mends the held layer to show the scenery as it now stands; false (and the layer stale)
    // when that would be much of the world.
    bool mendHeldLayer(const SceneView& scene, std::size_t sceneryEnd);
    // A frame in which the scenery moved nearly everywhere (a quake): the world is painted
    // anew straight into the back buffer; the layer is repainted once the scenery is calm.
    void repaintWorld(const SceneView& scene, std::size_t sceneryEnd);
    // Draws the figures, socks and widgets over the whole world of the back buffer.
    void drawAboveScenery(const SceneView& scene, std::size_t sceneryEnd);

    // --- RendererQuake.cpp
    // While the ground quakes, every piece of scenery that only moves (the storeys with their
    // walls and ladders, the ground, the tree, the pole and the cable) is painted once into a
    // picture of its own and put down each frame where it has moved, rounded to whole device
    // pixels: a copy instead of a repaint. Full redraws put down the same pictures, so both
    // paths paint the same pixels; a piece stands at most half a pixel from where it is.
    struct ObjectSprite {
        const Object* object = nullptr;
        gfx::Sprite sprite;
        gfx::RectI box;     // where it was painted, back buffer pixels
        double anchorX = 0; // the object's bounds' top-left then, in
        double anchorY = 0; // back buffer pixels
        float width = 0;    // its bounds' size then: another size means
        float height = 0;   // it changed shape, and is painted anew
        double scale = 0;   // the placement it was painted with
        Origin origin;
    };
    // From this scale on (a 4K screen is 3.7) a quake frame repaints exactly what each
    // picture's move changes (Sprite::addMove), not all of where it was and is; the frame goes
    // to the window in rectangles of kPresentBandRows rows, the changed pixels of a band
    // joined where fewer than kPresentGap columns apart.
    static constexpr double kExactMovesScale = 2.5;
    static constexpr int kPresentBandRows = 16;
    static constexpr int kPresentGap = 32;
    // A frame while the ground quakes: only the pixels that change are repainted (where each
    // moved picture was and now is, and what moved besides), and only they go to the window.
    void quakeRedraw(const SceneView& scene, WindowPort& window, const gfx::RectI& client, bool presentAll);
    // Adds to quakeArea_ the pixels the gathered changes repaint, given where each picture of
    // the scenery lay before (by drawList index).
    void addQuakeChanges(const std::vector<const ObjectSprite*>& before, bool exactMoves);
    // Repaints quakeArea_ of the back buffer band by band: the background, the scenery's
    // pictures and what has none, then the rest of the drawList that reaches into it.
    void paintQuakeArea(const SceneView& scene, std::size_t sceneryEnd);
    // Widens quakeArea_ by the whole box of everything drawn as usual that reaches into it;
    // marks those objects in quakeDrawn_.
    void growQuakeArea(const SceneView& scene, std::size_t sceneryEnd,
                       const std::vector<const ObjectSprite*>& sprites);
    // Repaints worldRect of target with the background and scenery [0, end): each piece
    // put down from its picture in sprites (by drawList index), or drawn on g when it has
    // none. rows (when not empty) confines it to a band of device rows.
    void paintQuakeScenery(const SceneView& scene, gfx::Graphics& g, gfx::Surface& target,
                           const gfx::RectI& worldRect, const gfx::RectI& rows, std::size_t end,
                           const std::vector<const ObjectSprite*>& sprites) const;

    // --- RendererSprites.cpp
    // Scenery that changes only by moving: not the drifting light, not the trampolines.
    bool keepsSprite(const Object& object) const;
    bool spriteFits(const ObjectSprite& sprite, const Object& object) const;
    ObjectSprite makeSprite(Object& object) const;
    // Where the picture goes now: its corner moved by the object's move, in whole pixels.
    Origin spriteSpot(const ObjectSprite& sprite, const Object& object) const;
    // The same for an object with these bounds.
    Origin spriteSpot(const ObjectSprite& sprite, const gfx::RectF& bounds) const;
    // Adds to area what the picture paints with its corner at spot.
    void addSpriteCover(gfx::RowSpans& area, const ObjectSprite& sprite, Origin spot) const;
    // The back buffer pixels an object with these bounds may paint, within the world.
    gfx::RectI deviceBox(const gfx::RectF& bounds) const;
    // Brings the pictures of scenery [0, end) up to date: paints those missing or stale.
    void updateSprites(const SceneView& scene, std::size_t end);
    // The kept pictures of scenery [0, end) that still fit; null where the piece is drawn.
    std::vector<const ObjectSprite*> spritePointers(const SceneView& scene, std::size_t end) const;

    // --- RendererBands.cpp
    // One band of rows of the buffers, with canvases of its own over the same pixels.
    struct Band {
        gfx::RectI rows; // device pixels, the buffers' whole width
        gfx::Surface back;
        gfx::Surface layer;
        std::optional<gfx::Graphics> backGraphics;  // on back
        std::optional<gfx::Graphics> layerGraphics; // on layer
    };
    // Bands over the back buffer and the scenery layer as they now are (made on first need).
    std::vector<std::unique_ptr<Band>>& bands();
    gfx::PaintThreads& threads();
    // Sets a band's canvas up for the world within its rows.
    void prepareBand(gfx::Graphics& g, const Band& band) const;
    // Draws the drawList's objects [from, to) that reach into the band's rows.
    void drawObjectsInBand(const SceneView& scene, gfx::Graphics& g, const Band& band, std::size_t from,
                           std::size_t to) const;
    // Clears the world's pixels of target (back buffer or layer) to the background and draws
    // the scenery objects [0, end) on them, band by band.
    void paintSceneryBanded(const SceneView& scene, bool onLayer, std::size_t end);
    // Copies rect of the scenery layer to the back buffer, band by band.
    void copyLayerBanded(const gfx::RectI& rect);

    // --- RendererPresent.cpp
    void drawNavOverlay(const SceneView& scene, gfx::Graphics& g) const;
    // Draws the overlays 'b' and 'c' ask for; debugOverlayOnScreen_ says whether any showed.
    void drawDebugOverlays(const SceneView& scene, gfx::Graphics& g,
                           const std::vector<gfx::RectF>& redrawnBounds, const DirtyRectList& newRects);
    // "P% = touched / total": how many objects the region's repaint touches (none in an
    // empty scene).
    static std::optional<std::string> redrawStatistics(const SceneView& scene, const DirtyRectList& region);
    // Copies what lies on the client area of the device rectangles to the window.
    void present(WindowPort& window, const gfx::RectI& client, std::vector<gfx::RectI> deviceRects);
    void presentWhole(WindowPort& window, const gfx::RectI& client);
    // The region, in world units, goes to the window.
    void presentRegion(WindowPort& window, const gfx::RectI& client, const DirtyRectList& region);

    // Sets up a canvas the renderer paints with.
    void prepare(gfx::Graphics& g) const { g.setDirectShapes(shapes_ == Shapes::Fast); }

    Shapes shapes_ = shapesFromEnvironment();
    bool fullRedrawPending_ = true;
    gfx::RectI lastClientRect_;
    gfx::Surface backBuffer_;
    std::optional<gfx::Graphics> backGraphics_; // lives on backBuffer_, so it goes first
    // The window's memory the back buffer lies in (null: the back buffer is the renderer's
    // own), and what the window offers for this paint.
    std::uint8_t* backBufferShared_ = nullptr;
    WindowPort::SharedPixels offered_;
    double scale_ = 1.0;
    Origin origin_;
    DirtyRectList previousRects_;
    // Bounds of objects that left the scene, cleared by the next paint that draws.
    std::vector<gfx::RectF> erasedRects_;
    // What gatherChanges found this paint.
    std::vector<Change> changes_;
    // The clip of the object drawObjectsMeeting draws now, and of the next one.
    std::vector<gfx::RectI> clipNow_, clipNext_;
    // Scenery layer: the background with the drawList's objects behind the first character
    // (the house, the garden), kept up to date like the back buffer, so a dirty rectangle
    // starts from a copy instead of repainting them. sceneryObjects are the objects it
    // shows; empty when there is none.
    gfx::Surface sceneryLayer_;
    std::optional<gfx::Graphics> sceneryGraphics_; // lives on sceneryLayer
    std::vector<Object*> sceneryObjects_;
    int paintThreadCount_ = gfx::PaintThreads::countFromEnvironment();
    std::unique_ptr<gfx::PaintThreads> threads_;
    std::vector<std::unique_ptr<Band>> bands_; // dropped whenever a buffer is made anew
    std::vector<gfx::RectF> heldBounds_;       // while the ground quakes (empty: layer stale)
    // By drawList index: kept from quake to quake, dropped when their object changes in calm.
    std::vector<ObjectSprite> sprites_;
    bool quakePictures_ = true;
    bool quakePainted_ = false;    // the back buffer's scenery was put down from sprites_
    gfx::RectI worldPixels_;       // the world's device pixels in the back buffer
    gfx::RowSpans quakeArea_;      // what a quake frame repaints
    std::vector<char> quakeDrawn_; // by drawList index: drawn in that area
    bool overlayDrawn_ = false;
    // The back buffer shows exactly what a full redraw of the last painted state would: no
    // overlay on it, painted with the current shapes.
    bool backBufferExact_ = false;
    bool debugOverlayOnScreen_ = false;
    long long presentCount_ = 0;

    gfx::SolidBrush backgroundBrush_{kBackground};
    gfx::Pen dirtyRectPen_{0xffffb4b4, 1.0f};
    gfx::SolidBrush dirtyRectBrush_{0x3cffe6b4};
    gfx::Pen redrawnPen_{0xffffffff, 1.0f};
    gfx::SolidBrush redrawnBrush_{0x32ffffff};
};

} // namespace game
