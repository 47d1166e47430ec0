#include "platform/SdlSession.h"

#include "core/Translate.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

XErrorHandler handlerBefore = nullptr;

// SDL wakes its blocked event wait by sending a message to the game's window over a second
// connection. When the key that ends the game arrives during such a wait, that message can
// reach the server after the window is gone; the error is read when SDL closes the connection,
// and Xlib's default answer would end the process with status 1 after a clean quit. A message
// sent to a window that no longer exists is harmless, so that one error is let pass. The
// handler goes in before SDL starts, because SDL puts back the handler it found when it quits.
int ignoreLateWakeUps(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent)
        return 0;
    return handlerBefore ? handlerBefore(display, error) : 0;
}

} // namespace

std::unique_ptr<SdlSession> SdlSession::open(std::string& error) {
    // Like any other desktop program, the game lets the screen saver start.
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
            error = core::tr(
                "hearthly: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)");
            return nullptr;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    handlerBefore = XSetErrorHandler(ignoreLateWakeUps);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        XSetErrorHandler(handlerBefore);
        const char* display = std::getenv("DISPLAY");
        error = display
                    ? core::trFill("hearthly: cannot open the display '%s' (%s)", {display, SDL_GetError()})
                    : core::trFill("hearthly: cannot open the display (%s)", {SDL_GetError()});
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) {
        // On X11 the window surface must be plain shared memory: backed by OpenGL, every update
        // would upload the whole frame and the game's dirty rectangles would save nothing.
        // Other window systems have only the OpenGL-backed surface, so they keep SDL's choice.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    return std::unique_ptr<SdlSession>(new SdlSession());
}

SdlSession::~SdlSession() {
    SDL_Quit();
    XSetErrorHandler(handlerBefore);
}

std::uint32_t SdlSession::tickCount() {
    // The performance counter runs from boot on every system SDL supports on the desktop.
    const Uint64 perMillisecond = SDL_GetPerformanceFrequency() / 1000;
    return static_cast<std::uint32_t>(SDL_GetPerformanceCounter() / (perMillisecond ? perMillisecond : 1));
}

} // namespace platform
