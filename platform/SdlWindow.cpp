#include "platform/SdlWindow.h"

#include "gfx/Surface.h"
#include "platform/MessageText.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

namespace platform {

void SdlWindow::Destroyer::operator()(SDL_Window* window) const {
    SDL_DestroyWindow(window);
}

std::unique_ptr<SdlWindow> SdlWindow::create(const char* title, int width, int height, std::string& error) {
    SDL_Window* window =
        SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                         SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        error = std::string("hearthly: cannot create the window (") + SDL_GetError() + ")";
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(window));
}

SdlWindow::SdlWindow(SDL_Window* window) : window_(window) {}

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

void SdlWindow::present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) {
    if (!backBuffer.valid() || deviceRects.empty())
        return;
    // The window surface is replaced whenever the window's size changes, so it is asked for
    // afresh on every frame rather than kept.
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (!target)
        return;
    const int width = std::min(backBuffer.width(), target->w);
    const int height = std::min(backBuffer.height(), target->h);
    const int bytesPerPixel = target->format->BytesPerPixel;

    std::vector<SDL_Rect> updated;
    updated.reserve(deviceRects.size());
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return;
    for (const gfx::RectI& rect : deviceRects) {
        const int left = std::max(rect.x, 0);
        const int top = std::max(rect.y, 0);
        const int right = std::min(rect.right(), width);
        const int bottom = std::min(rect.bottom(), height);
        if (right <= left || bottom <= top)
            continue;
        const std::uint8_t* source = backBuffer.data() +
                                     static_cast<std::ptrdiff_t>(top) * backBuffer.stride() +
                                     static_cast<std::ptrdiff_t>(left) * 4;
        auto* destination = static_cast<std::uint8_t*>(target->pixels) +
                            static_cast<std::ptrdiff_t>(top) * target->pitch +
                            static_cast<std::ptrdiff_t>(left) * bytesPerPixel;
        // The back buffer's 0xAARRGGBB words are SDL's ARGB8888; into the usual XRGB8888 window
        // surface this is a plain copy of rows.
        SDL_ConvertPixels(right - left, bottom - top, SDL_PIXELFORMAT_ARGB8888, source, backBuffer.stride(),
                          target->format->format, destination, target->pitch);
        updated.push_back({left, top, right - left, bottom - top});
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
    const int newPointsWidth =
        std::max(1, static_cast<int>(static_cast<long long>(width) * pointsWidth / pixels.width));
    const int newPointsHeight =
        std::max(1, static_cast<int>(static_cast<long long>(height) * pointsHeight / pixels.height));
    if (newPointsWidth == pointsWidth && newPointsHeight == pointsHeight) {
        pendingResize_.reset();
        return;
    }
    pendingResize_ = gfx::RectI{
        0, 0, static_cast<int>(static_cast<long long>(newPointsWidth) * pixels.width / pointsWidth),
        static_cast<int>(static_cast<long long>(newPointsHeight) * pixels.height / pointsHeight)};
    SDL_SetWindowSize(window_.get(), newPointsWidth, newPointsHeight);
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

void SdlWindow::showMessage(const char* title, const char* text) {
    // About as wide as a classic message box; the text itself is the caller's, word for word.
    constexpr std::size_t kColumns = 64;
    const std::string wrapped = MessageText::wrap(text, kColumns);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, wrapped.c_str(), window_.get());
}

} // namespace platform
