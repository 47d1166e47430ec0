#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct SDL_Window;
struct wl_buffer;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_surface;

namespace gfx {
class Surface;
}

namespace platform {

// Shows the game's frames in a window SDL made on Wayland by handing the compositor shared-memory
// buffers of our own, with only the changed rectangles marked. SDL's window surface there goes
// through OpenGL, which on a machine without 3D acceleration renders and uploads the whole window
// in software for every frame; this way a frame costs about what it does on X11.
class WaylandPresenter {
public:
    // For a window on Wayland whose compositor shares memory (every one does); nothing otherwise,
    // and the window keeps SDL's own surface.
    static std::unique_ptr<WaylandPresenter> attach(SDL_Window* window);
    ~WaylandPresenter();
    WaylandPresenter(const WaylandPresenter&) = delete;
    WaylandPresenter& operator=(const WaylandPresenter&) = delete;

    // Brings these rectangles of the back buffer (the whole window's size) on screen; false when
    // no buffer could be had for them (they are shown with a later frame).
    bool present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> rects);

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        std::uint8_t* pixels = nullptr;
        std::size_t bytes = 0;
        bool busy = false; // the compositor still reads it
        // Where it is older than the back buffer; empty once it has been brought up to date.
        std::vector<gfx::RectI> stale;
    };

    WaylandPresenter() = default;
    static void released(void* data, wl_buffer* buffer);
    Buffer* freeBuffer();
    bool addBuffer();
    void dropBuffers();

    wl_display* display_ = nullptr;
    wl_surface* surface_ = nullptr;
    // The buffers' answers come in on a queue of our own, read when a frame is presented.
    wl_event_queue* queue_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_shm* shm_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    // Changes not yet handed to the compositor (frames for which no buffer was free).
    std::vector<gfx::RectI> unsent_;
};

} // namespace platform
