#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <span>

namespace gfx {
class Surface;
}

namespace game {

// What the game needs from its window: the client size, copying finished rectangles of
// the back buffer onto the screen, and resizing the client area. The SDL window and the
// replay tool's off-screen window both implement it.
class WindowPort {
public:
    virtual ~WindowPort() = default;
    // Client area in device pixels; (0, 0, 0, 0) while minimised or dragged to nothing.
    virtual gfx::RectI clientRect() = 0;
    // Copies these device rectangles of the back buffer to the same place on screen.
    virtual void present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) = 0;
    // Changes the client area to w x h, keeping the window's top-left corner.
    virtual void resizeClient(int width, int height) = 0;

    // The memory the window shows its pixels from, where the game may paint into it itself:
    // present() then only names the rectangles that changed. Null where the window keeps no
    // such memory. It may move between frames (a resize, a full-screen switch), so it is
    // asked for before every paint.
    struct SharedPixels {
        std::uint8_t* data = nullptr;
        int width = 0;
        int height = 0;
        int stride = 0;
    };
    virtual SharedPixels sharedPixels() { return {}; }
};

} // namespace game
