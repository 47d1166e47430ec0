#include "platform/SdlSession.h"

#include <SDL.h>

#include <cstdlib>

namespace platform {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

std::unique_ptr<SdlSession> SdlSession::open(std::string& error) {
    // The window surface must be plain memory: backed by OpenGL, every update would upload the
    // whole frame and the game's dirty rectangles would save nothing.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The game keeps running behind other windows and under a screen saver.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // A click that brings the window to the front also counts as a click in the game.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (!isSet("SDL_VIDEODRIVER")) {
        // Only window systems the session names: otherwise SDL ends up drawing into memory when
        // no display answers, and the player would see nothing at all.
        std::string drivers;
        if (isSet("DISPLAY"))
            drivers = "x11";
        if (isSet("WAYLAND_DISPLAY"))
            drivers += drivers.empty() ? "wayland" : ",wayland";
        if (drivers.empty()) {
            error = "hearthly: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
            return nullptr;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        const char* display = std::getenv("DISPLAY");
        error = std::string("hearthly: cannot open the display") +
                (display ? std::string(" '") + display + "'" : "") + " (" + SDL_GetError() + ")";
        return nullptr;
    }
    return std::unique_ptr<SdlSession>(new SdlSession());
}

SdlSession::~SdlSession() {
    SDL_Quit();
}

std::uint32_t SdlSession::tickCount() {
    // The performance counter runs from boot on every system SDL supports on the desktop.
    const Uint64 perMillisecond = SDL_GetPerformanceFrequency() / 1000;
    return static_cast<std::uint32_t>(SDL_GetPerformanceCounter() / (perMillisecond ? perMillisecond : 1));
}

} // namespace platform
