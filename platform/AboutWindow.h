#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace platform {

// The About box: a small window of its own beside the game, with the text and an OK button.
// It takes no hold of the loop, so the game runs and repaints while it is open, and it goes
// away with Enter, Esc, its button or the window manager's close.
class AboutWindow {
public:
    // Opens the box over parent; on failure returns nothing and puts one line into error.
    static std::unique_ptr<AboutWindow> open(SDL_Window* parent, const char* title, const char* text,
                                             std::string& error);
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;
    ~AboutWindow();

    std::uint32_t id() const;
    // An event for this window. Returns true when the box is to close.
    bool handle(const SDL_Event& event);
    void raise();

private:
    struct Destroyer {
        void operator()(SDL_Window* window) const;
    };
    AboutWindow(SDL_Window* window, std::vector<std::string> lines, int width, int height);
    void paint();
    gfx::RectI buttonRect() const;

    std::unique_ptr<SDL_Window, Destroyer> window_;
    std::vector<std::string> lines_;
    int width_;
    int height_;
    bool buttonPressed_ = false;
};

} // namespace platform
