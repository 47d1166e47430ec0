#pragma once

#include "game/WindowPort.h"
#include "platform/MouseMapping.h"
#include "platform/WaylandPresenter.h"
#include "platform/X11ShmPresenter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct SDL_Window;
struct _XDisplay;

namespace platform {

// The game's one top-level window. Its client area is measured in drawable pixels, which on
// a HiDPI screen are finer than the window points SDL positions windows in.
class SdlWindow final : public game::WindowPort {
public:
    // Creates the window hidden, with a client area of width x height pixels, resizable, placed
    // by the system. On failure returns nothing and puts one line for the user into error.
    static std::unique_ptr<SdlWindow> create(const char* title, int width, int height, std::string& error);

    // The smallest client area the player can drag the window to.
    static constexpr int kMinimumWidth = 200;
    static constexpr int kMinimumHeight = 146;

    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;
    ~SdlWindow() override;

    gfx::RectI clientRect() override;
    void present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) override;
    void resizeClient(int width, int height) override;
    // On X11, the memory the window shows: the game paints its frames straight into it.
    SharedPixels sharedPixels() override;

    void show();
    void setTitle(const char* title);
    // The game's icon, as a 0xAARRGGBB image; the window manager shows it on the title bar
    // and the task switcher.
    void setIcon(const gfx::Surface& icon);
    // Desktop full screen (the screen's own resolution) or back to the window it was.
    void setFullscreen(bool on);
    bool fullscreen() const;
    std::uint32_t id() const;
    bool minimised() const;
    // Maximised or full screen: sizes the window manager chose, not the player's drags.
    bool maximised() const;
    // The drawable size, also while minimised.
    gfx::RectI drawableRect() const;
    MouseMapping mouseMapping() const;
    // Whether a size change to this drawable size is the answer to our own resizeClient; the
    // expectation is used up either way.
    bool takeOwnResize(const gfx::RectI& drawable);
    SDL_Window* handle() const { return window_.get(); }
    enum class Waited {
        Unable, // the window system offers no way to wait like this: at once
        Quiet,  // the time ran out with nothing come in and nothing queued
        Input,  // something came in, is queued, or the wait was cut short
    };
    // Sleeps until the window system has something for the game or `us` microseconds have
    // passed, to the microsecond.
    Waited waitForEvents(std::int64_t us);

private:
    struct Destroyer {
        void operator()(SDL_Window* window) const;
    };

    SdlWindow(SDL_Window* window, std::unique_ptr<WaylandPresenter> wayland,
              std::unique_ptr<X11ShmPresenter> x11);

    std::unique_ptr<SDL_Window, Destroyer> window_;
    // On Wayland: frames go to the compositor in buffers of our own (goes before the window).
    std::unique_ptr<WaylandPresenter> wayland_;
    // On X11: frames painted into shared memory of our own, handed over without waiting for
    // the server's copy (goes before the window). SDL's window surface where it cannot be had.
    std::unique_ptr<X11ShmPresenter> x11_;
    // Moves the window back inside the usable area of its display, if it sticks out.
    void keepOnScreen(int widthPoints, int heightPoints);

    std::optional<gfx::RectI> pendingResize_;
    // Where the window was before it went full screen, in points.
    std::optional<gfx::RectI> windowedPlace_;
    // On X11: the connection SDL reads its events from (null elsewhere).
    _XDisplay* xDisplay_ = nullptr;
    // The window surface could not be had for the last frame (said once).
    bool surfaceLost_ = false;
};

} // namespace platform
