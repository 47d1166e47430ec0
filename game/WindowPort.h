#pragma once

#include "gfx/Geometry.h"

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
};

} // namespace game
