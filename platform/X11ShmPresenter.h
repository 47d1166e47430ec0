#pragma once

#include "game/WindowPort.h"
#include "gfx/Geometry.h"

#include <cstdint>
#include <memory>
#include <span>

struct SDL_Window;
struct _XDisplay;
struct _XGC;

namespace platform {

// Shows the game's frames in a window SDL made on X11 from shared memory of our own, which the
// game paints into. SDL's window update waits for the X server to copy every frame before it
// returns; here a frame is handed over and the game goes on, and only the next paint into the
// same memory waits for the copy, which by then is long done. The requests go through a
// connection of our own, so the server's answers never mix with SDL's events.
class X11ShmPresenter {
public:
    // For a window on a local X server with shared memory and a 32-bit pixel layout of
    // 0x00RRGGBB; nothing otherwise, and the window keeps SDL's own surface.
    static std::unique_ptr<X11ShmPresenter> attach(SDL_Window* window);
    ~X11ShmPresenter();
    X11ShmPresenter(const X11ShmPresenter&) = delete;
    X11ShmPresenter& operator=(const X11ShmPresenter&) = delete;

    // The memory shown in a window client of this size, free to paint into; made anew when
    // the size changed. Empty when none could be had.
    game::WindowPort::SharedPixels pixels(int width, int height);
    // Brings these rectangles of the back buffer on screen (copied first unless the back
    // buffer is the shared memory); false when no memory of its size could be had.
    bool present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> rects);

private:
    X11ShmPresenter() = default;
    struct Image; // the shared memory, as the server and we know it

    // Waits until the server has copied the last frame out of the memory.
    void waitForCopy();
    bool makeImage(int width, int height);
    void dropImage();

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    void* visual_ = nullptr; // the window's
    int depth_ = 0;
    _XGC* gc_ = nullptr;
    int completionEvent_ = 0; // the type of the server's "copied" answer
    std::unique_ptr<Image> image_;
    bool copying_ = false; // a frame was handed over and may still be read
};

} // namespace platform
