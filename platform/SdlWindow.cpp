#include "platform/SdlWindow.h"

#include "core/Translate.h"

#include "gfx/Surface.h"
#include "platform/ClientFit.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

void SdlWindow::Destroyer::operator()(SDL_Window* window) const {
    SDL_DestroyWindow(window);
}

namespace {

// SDL says nothing when the window system has no surface of its own and the settings forbid the
// one SDL would make over OpenGL (SDL_FRAMEBUFFER_ACCELERATION=0 on Wayland).
std::string noSurfaceReason() {
    const std::string why = SDL_GetError();
    if (!why.empty())
        return why;
    const char* acceleration = SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    return std::string("the ") + SDL_GetCurrentVideoDriver() + " window system offers no surface" +
           (acceleration ? std::string(" with SDL_FRAMEBUFFER_ACCELERATION=") + acceleration : "");
}

} // namespace

std::unique_ptr<SdlWindow> SdlWindow::create(const char* title, int width, int height, std::string& error) {
    SDL_Window* window =
        SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                         SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        error = core::trFill("hearthly: cannot create the window (%s)", {SDL_GetError()});
        return nullptr;
    }
    SDL_SetWindowMinimumSize(window, kMinimumWidth, kMinimumHeight);
    // The game draws only through the window surface. Without one (a window system that offers
    // none, or none the settings allow), no frame could ever be shown: better to say so and end
    // than to run on invisibly.
    // On Wayland SDL's window surface goes through OpenGL, costly without 3D acceleration; the
    // frames are handed to the compositor directly instead. HEARTHLY_WAYLAND_SURFACE=sdl keeps
    // SDL's way, to compare.
    std::unique_ptr<WaylandPresenter> wayland;
    const char* present = std::getenv("HEARTHLY_WAYLAND_SURFACE");
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0 &&
        !(present && std::strcmp(present, "sdl") == 0))
        wayland = WaylandPresenter::attach(window);
    // On X11 SDL's window update waits for the server to copy each frame; frames are handed
    // over from memory of our own instead. HEARTHLY_X11_SURFACE=sdl keeps SDL's way, to compare.
    std::unique_ptr<X11ShmPresenter> x11;
    const char* x11Present = std::getenv("HEARTHLY_X11_SURFACE");
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0 &&
        !(x11Present && std::strcmp(x11Present, "sdl") == 0))
        x11 = X11ShmPresenter::attach(window);
    SDL_ClearError();
    if (!wayland && !x11 && !SDL_GetWindowSurface(window)) {
        error = core::trFill("hearthly: cannot draw into the window (%s)", {noSurfaceReason()});
        SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(window, std::move(wayland), std::move(x11)));
}

SdlWindow::SdlWindow(SDL_Window* window, std::unique_ptr<WaylandPresenter> wayland,
                     std::unique_ptr<X11ShmPresenter> x11)
    : window_(window), wayland_(std::move(wayland)), x11_(std::move(x11)) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        xDisplay_ = info.info.x11.display;
}

SdlWindow::Waited SdlWindow::waitForEvents(std::int64_t us) {
    if (xDisplay_ == nullptr)
        return Waited::Unable;
    // SDL's own wait sleeps in whole milliseconds, so a frame would need a second, precise
    // sleep after it: two wake-ups where one does. Requests still buffered go out first, and
    // an event already read off the connection (while a frame waited for the server) or
    // already in SDL's queue means there is nothing to wait for.
    XFlush(xDisplay_);
    if (XEventsQueued(xDisplay_, QueuedAlready) > 0 ||
        SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0 || us <= 0)
        return Waited::Input;
    pollfd connection{ConnectionNumber(xDisplay_), POLLIN, 0};
    const timespec timeout{static_cast<time_t>(us / 1'000'000), static_cast<long>(us % 1'000'000) * 1000};
    // A signal (Ctrl+C) cuts the wait short: SDL turns it into a quit when it next looks.
    return ppoll(&connection, 1, &timeout, nullptr) == 0 ? Waited::Quiet : Waited::Input;
}

SdlWindow::~SdlWindow() = default;

gfx::RectI SdlWindow::clientRect() {
    if (minimised())
        return {};
    return drawableRect();
}

gfx::RectI SdlWindow::drawableRect() const {
    int width = 0;
    int height = 0;
    SDL_GetWindowSizeInPixels(window_.get(), &width, &height);
    return {0, 0, width, height};
}

MouseMapping SdlWindow::mouseMapping() const {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_.get(), &width, &height);
    const gfx::RectI pixels = drawableRect();
    return {width, height, pixels.width, pixels.height};
}

namespace {

void copyPixels(int width, int height, const std::uint8_t* source, int sourcePitch, std::uint32_t format,
                std::uint8_t* destination, int destinationPitch) {
    if (format != SDL_PIXELFORMAT_XRGB8888 && format != SDL_PIXELFORMAT_ARGB8888) {
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_ARGB8888, source, sourcePitch, format, destination,
                          destinationPitch);
        return;
    }
    const std::uint32_t keep = format == SDL_PIXELFORMAT_XRGB8888 ? 0x00ffffffU : 0xffffffffU;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source + static_cast<std::ptrdiff_t>(y) * sourcePitch;
        std::uint8_t* to = destination + static_cast<std::ptrdiff_t>(y) * destinationPitch;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, from + 4 * x, 4);
            pixel &= keep;
            std::memcpy(to + 4 * x, &pixel, 4);
        }
    }
}

} // namespace

game::WindowPort::SharedPixels SdlWindow::sharedPixels() {
    // Our own shared memory on X11, free to paint once the server has copied the last frame.
    if (x11_) {
        const gfx::RectI drawable = drawableRect();
        return x11_->pixels(drawable.width, drawable.height);
    }
    // Otherwise only X11's surface is plain memory the server reads from at each update; the
    // back buffer's words are its pixels as they are (the unused byte of XRGB8888 is not shown).
    if (wayland_ || xDisplay_ == nullptr)
        return {};
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (target == nullptr || SDL_MUSTLOCK(target) || target->format->BytesPerPixel != 4 ||
        (target->format->format != SDL_PIXELFORMAT_XRGB8888 &&
         target->format->format != SDL_PIXELFORMAT_ARGB8888))
        return {};
    return {static_cast<std::uint8_t*>(target->pixels), target->w, target->h, target->pitch};
}

void SdlWindow::present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) {
    if (!backBuffer.valid() || deviceRects.empty())
        return;
    if (wayland_) {
        // A compositor may refuse a buffer of another size than the window's, which the back
        // buffer has for a moment after a resize; the game repaints at the new size anyway.
        const gfx::RectI drawable = drawableRect();
        if (backBuffer.width() == drawable.width && backBuffer.height() == drawable.height)
            wayland_->present(backBuffer, deviceRects);
        return;
    }
    if (x11_) {
        // Said once, like a lost surface; the next frame tries again.
        const bool shown = x11_->present(backBuffer, deviceRects);
        if (!shown && !surfaceLost_)
            std::fprintf(
                stderr, "%s\n",
                core::trFill("hearthly: cannot draw into the window (no shared memory for %s)",
                             {std::to_string(backBuffer.width()) + "x" + std::to_string(backBuffer.height())})
                    .c_str());
        surfaceLost_ = !shown;
        return;
    }
    // The window surface is replaced whenever the window's size changes, so it is asked for
    // afresh on every frame rather than kept.
    SDL_ClearError();
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (!target) {
        // It was there when the window was made; a later failure is said once and the next
        // frame tries again.
        if (!surfaceLost_)
            std::fprintf(
                stderr, "%s\n",
                core::trFill("hearthly: cannot draw into the window (%s)", {noSurfaceReason()}).c_str());
        surfaceLost_ = true;
        return;
    }
    surfaceLost_ = false;
    const int width = std::min(backBuffer.width(), target->w);
    const int height = std::min(backBuffer.height(), target->h);
    const int bytesPerPixel = target->format->BytesPerPixel;

    std::vector<SDL_Rect> updated;
    updated.reserve(deviceRects.size());
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return;
    for (const gfx::RectI& rect : deviceRects) {
        const gfx::RectI area = gfx::intersection(rect, {0, 0, width, height});
        if (area.isEmpty())
            continue;
        updated.push_back({area.x, area.y, area.width, area.height});
        // Painted in place: the window only needs to hear which rectangles changed.
        if (backBuffer.data() == target->pixels)
            continue;
        const std::uint8_t* source = backBuffer.data() +
                                     static_cast<std::ptrdiff_t>(area.y) * backBuffer.stride() +
                                     static_cast<std::ptrdiff_t>(area.x) * 4;
        auto* destination = static_cast<std::uint8_t*>(target->pixels) +
                            static_cast<std::ptrdiff_t>(area.y) * target->pitch +
                            static_cast<std::ptrdiff_t>(area.x) * bytesPerPixel;
        // The back buffer's 0xAARRGGBB words are SDL's ARGB8888; into the usual XRGB8888 window
        // surface each row is copied with the unused byte cleared, as SDL's conversion leaves
        // it, in a loop the compiler makes a wide copy of (SDL's own conversion is several
        // times slower, a noticeable part of a frame).
        copyPixels(area.width, area.height, source, backBuffer.stride(), target->format->format, destination,
                   target->pitch);
    }
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    if (!updated.empty())
        SDL_UpdateWindowSurfaceRects(window_.get(), updated.data(), static_cast<int>(updated.size()));
}

void SdlWindow::resizeClient(int width, int height) {
    const gfx::RectI pixels = drawableRect();
    int pointsWidth = 0;
    int pointsHeight = 0;
    SDL_GetWindowSize(window_.get(), &pointsWidth, &pointsHeight);
    if (pixels.width <= 0 || pixels.height <= 0 || width <= 0 || height <= 0)
        return;
    // SDL sizes windows in points; on a HiDPI screen one point covers several pixels.
    int newPointsWidth =
        std::max(1, static_cast<int>(static_cast<long long>(width) * pointsWidth / pixels.width));
    int newPointsHeight =
        std::max(1, static_cast<int>(static_cast<long long>(height) * pointsHeight / pixels.height));
    // The frame must stay within the display's usable area (panels excluded); a request too
    // large there shrinks as a whole, so the other side gives way and the proportions hold.
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(window_.get(), &top, &left, &bottom, &right);
    SDL_Rect usable{};
    ClientFit::Size room;
    const int display = SDL_GetWindowDisplayIndex(window_.get());
    if (display >= 0 && SDL_GetDisplayUsableBounds(display, &usable) == 0)
        room = {std::max(1, usable.w - left - right), std::max(1, usable.h - top - bottom)};
    const ClientFit::Size fitted =
        ClientFit::fit({newPointsWidth, newPointsHeight}, {kMinimumWidth, kMinimumHeight}, room);
    newPointsWidth = fitted.width;
    newPointsHeight = fitted.height;
    if (newPointsWidth == pointsWidth && newPointsHeight == pointsHeight) {
        pendingResize_.reset();
        return;
    }
    pendingResize_ = gfx::RectI{
        0, 0, static_cast<int>(static_cast<long long>(newPointsWidth) * pixels.width / pointsWidth),
        static_cast<int>(static_cast<long long>(newPointsHeight) * pixels.height / pointsHeight)};
    SDL_SetWindowSize(window_.get(), newPointsWidth, newPointsHeight);
    keepOnScreen(newPointsWidth, newPointsHeight);
}

void SdlWindow::keepOnScreen(int widthPoints, int heightPoints) {
    const int display = SDL_GetWindowDisplayIndex(window_.get());
    SDL_Rect usable{};
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0)
        return;
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(window_.get(), &top, &left, &bottom, &right);
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window_.get(), &x, &y);
    // The client's top-left corner: first pulled back so the far side fits, then pushed in
    // so the title bar is never off the top or left.
    const int newX = std::max(std::min(x, usable.x + usable.w - right - widthPoints), usable.x + left);
    const int newY = std::max(std::min(y, usable.y + usable.h - bottom - heightPoints), usable.y + top);
    if (newX != x || newY != y)
        SDL_SetWindowPosition(window_.get(), newX, newY);
}

void SdlWindow::setFullscreen(bool on) {
    if (on == fullscreen())
        return;
    if (on) {
        SDL_Rect place{};
        SDL_GetWindowPosition(window_.get(), &place.x, &place.y);
        SDL_GetWindowSize(window_.get(), &place.w, &place.h);
        windowedPlace_ = gfx::RectI{place.x, place.y, place.w, place.h};
        SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_SetWindowFullscreen(window_.get(), 0);
    // The window manager usually puts the window back by itself; where it does not, the
    // window returns to the size and place it had.
    if (windowedPlace_) {
        SDL_SetWindowSize(window_.get(), windowedPlace_->width, windowedPlace_->height);
        SDL_SetWindowPosition(window_.get(), windowedPlace_->x, windowedPlace_->y);
        windowedPlace_.reset();
    }
}

bool SdlWindow::fullscreen() const {
    return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlWindow::setTitle(const char* title) {
    SDL_SetWindowTitle(window_.get(), title);
}

void SdlWindow::setIcon(const gfx::Surface& icon) {
    if (!icon.valid())
        return;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(icon.data()), icon.width(),
                                           icon.height(), 32, icon.stride(), SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_SetWindowIcon(window_.get(), surface);
    SDL_FreeSurface(surface);
}

bool SdlWindow::takeOwnResize(const gfx::RectI& drawable) {
    const bool own = pendingResize_ && *pendingResize_ == drawable;
    pendingResize_.reset();
    return own;
}

void SdlWindow::show() {
    SDL_ShowWindow(window_.get());
}

std::uint32_t SdlWindow::id() const {
    return SDL_GetWindowID(window_.get());
}

bool SdlWindow::minimised() const {
    return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0;
}

bool SdlWindow::maximised() const {
    return (SDL_GetWindowFlags(window_.get()) & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN)) != 0;
}

} // namespace platform
