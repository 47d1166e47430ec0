#pragma once

#include "game/WindowPort.h"
#include "platform/MouseMapping.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct SDL_Window;

namespace platform {

// The game's one top-level window. Its client area is measured in drawable pixels, which on
// a HiDPI screen are finer than the window points SDL positions windows in.
class SdlWindow final : public WindowPort {
public:
    // Creates the window hidden, with a client area of width x height pixels, resizable, placed
    // by the system. On failure returns nothing and puts one line for the user into error.
    static std::unique_ptr<SdlWindow> create(const char* title, int width, int height, std::string& error);

    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;
    ~SdlWindow() override;

    gfx::RectI clientRect() override;
    void present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) override;
    void resizeClient(int width, int height) override;

    void show();
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
    // A modal box with an OK button, owned by this window.
    void showMessage(const char* title, const char* text);

private:
    struct Destroyer {
        void operator()(SDL_Window* window) const;
    };

    explicit SdlWindow(SDL_Window* window);

    std::unique_ptr<SDL_Window, Destroyer> window_;
    std::optional<gfx::RectI> pendingResize_;
};

} // namespace platform
