#include "platform/WaylandPresenter.h"

#include "gfx/Surface.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// Two buffers alternate while the compositor shows one; a third covers a compositor that holds
// on to the one it shows until the next arrives.
constexpr std::size_t kMostBuffers = 3;
// Past this many scattered rectangles a buffer is brought up to date as a whole.
constexpr std::size_t kMostStaleRects = 64;

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, wl_shm_interface.name) == 0)
        *static_cast<wl_shm**>(data) =
            static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
}
void onGlobalRemoved(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener = {onGlobal, onGlobalRemoved};

gfx::RectI clipped(const gfx::RectI& r, int width, int height) {
    const int left = std::max(r.x, 0);
    const int top = std::max(r.y, 0);
    const int right = std::min(r.right(), width);
    const int bottom = std::min(r.bottom(), height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

} // namespace

std::unique_ptr<WaylandPresenter> WaylandPresenter::attach(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND || !info.info.wl.display ||
        !info.info.wl.surface)
        return nullptr;
    auto presenter = std::unique_ptr<WaylandPresenter>(new WaylandPresenter());
    presenter->display_ = info.info.wl.display;
    presenter->surface_ = info.info.wl.surface;
    presenter->queue_ = wl_display_create_queue(presenter->display_);
    if (!presenter->queue_)
        return nullptr;
    // Asked on our own queue, so that SDL's events are left for SDL to handle.
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(presenter->display_));
    if (!wrapped)
        return nullptr;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), presenter->queue_);
    presenter->registry_ = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    if (!presenter->registry_)
        return nullptr;
    wl_registry_add_listener(presenter->registry_, &registryListener, &presenter->shm_);
    if (wl_display_roundtrip_queue(presenter->display_, presenter->queue_) < 0 || !presenter->shm_)
        return nullptr;
    return presenter;
}

WaylandPresenter::~WaylandPresenter() {
    dropBuffers();
    if (shm_)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(shm_));
    if (registry_)
        wl_registry_destroy(registry_);
    if (queue_)
        wl_event_queue_destroy(queue_);
}

void WaylandPresenter::released(void* data, wl_buffer*) {
    static_cast<Buffer*>(data)->busy = false;
}

void WaylandPresenter::dropBuffers() {
    for (const auto& b : buffers_) {
        wl_buffer_destroy(b->buffer);
        ::munmap(b->pixels, b->bytes);
    }
    buffers_.clear();
}

bool WaylandPresenter::addBuffer() {
    static const wl_buffer_listener listener = {&WaylandPresenter::released};
    const int stride = width_ * 4;
    auto b = std::make_unique<Buffer>();
    b->bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height_);
    const int fd = ::memfd_create("hearthly-frame", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (::ftruncate(fd, static_cast<off_t>(b->bytes)) != 0) {
        ::close(fd);
        return false;
    }
    void* pixels = ::mmap(nullptr, b->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(b->bytes));
    ::close(fd);
    b->buffer =
        pool ? wl_shm_pool_create_buffer(pool, 0, width_, height_, stride, WL_SHM_FORMAT_XRGB8888) : nullptr;
    if (pool)
        wl_shm_pool_destroy(pool);
    b->pixels = static_cast<std::uint8_t*>(pixels);
    if (!b->buffer) {
        ::munmap(pixels, b->bytes);
        return false;
    }
    wl_buffer_add_listener(b->buffer, &listener, b.get());
    b->stale.push_back({0, 0, width_, height_});
    buffers_.push_back(std::move(b));
    return true;
}

WaylandPresenter::Buffer* WaylandPresenter::freeBuffer() {
    for (const auto& b : buffers_)
        if (!b->busy)
            return b.get();
    if (buffers_.size() < kMostBuffers && addBuffer())
        return buffers_.back().get();
    // All held by the compositor: its answers may be on their way.
    wl_display_roundtrip_queue(display_, queue_);
    for (const auto& b : buffers_)
        if (!b->busy)
            return b.get();
    return nullptr;
}

bool WaylandPresenter::present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> rects) {
    wl_display_dispatch_queue_pending(display_, queue_);
    if (backBuffer.width() != width_ || backBuffer.height() != height_) {
        // A new window size: buffers of the old one are of no more use.
        dropBuffers();
        unsent_.clear();
        width_ = backBuffer.width();
        height_ = backBuffer.height();
    }
    if (width_ <= 0 || height_ <= 0)
        return false;
    for (const gfx::RectI& r : rects) {
        const gfx::RectI c = clipped(r, width_, height_);
        if (c.isEmpty())
            continue;
        unsent_.push_back(c);
        for (const auto& b : buffers_)
            b->stale.push_back(c);
    }
    if (unsent_.empty())
        return true;
    Buffer* b = freeBuffer();
    if (!b)
        return false;
    if (b->stale.size() > kMostStaleRects)
        b->stale.assign(1, {0, 0, width_, height_});
    // The back buffer's 0xAARRGGBB words are the compositor's XRGB8888: rows are copied as they are.
    const int stride = width_ * 4;
    for (const gfx::RectI& r : b->stale) {
        for (int y = r.y; y < r.bottom(); ++y)
            std::memcpy(b->pixels + static_cast<std::ptrdiff_t>(y) * stride +
                            static_cast<std::ptrdiff_t>(r.x) * 4,
                        backBuffer.data() + static_cast<std::ptrdiff_t>(y) * backBuffer.stride() +
                            static_cast<std::ptrdiff_t>(r.x) * 4,
                        static_cast<std::size_t>(r.width) * 4);
    }
    b->stale.clear();
    wl_surface_attach(surface_, b->buffer, 0, 0);
    if (unsent_.size() > kMostStaleRects)
        unsent_.assign(1, {0, 0, width_, height_});
    // Damage in buffer pixels came with version 4 of the surface; before it, in surface points,
    // where a whole-window mark is the safe choice for a scaled window.
    const bool bufferDamage = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(surface_)) >= 4;
    for (const gfx::RectI& r : unsent_) {
        if (bufferDamage)
            wl_surface_damage_buffer(surface_, r.x, r.y, r.width, r.height);
        else
            wl_surface_damage(surface_, 0, 0, INT32_MAX, INT32_MAX);
    }
    unsent_.clear();
    wl_surface_commit(surface_);
    b->busy = true;
    wl_display_flush(display_);
    return true;
}

} // namespace platform
