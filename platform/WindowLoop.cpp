#include "platform/WindowLoop.h"

#include "core/Translate.h"
#include "core/Utf8Decoder.h"
#include "game/Game.h"
#include "platform/SdlClock.h"
#include "platform/SdlWindow.h"
#include "record/RecordingPlayer.h"
#include "record/SessionRecorder.h"
#include "scene/World.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace platform {

namespace {

constexpr char32_t kEscape = 27;
// How close to a deadline the loop stops waiting for events and sleeps precisely instead.
constexpr std::int64_t kPreciseTailUs = 2'000;
// How long the window manager may take to carry out a switch to or from full screen.
constexpr std::int64_t kSwitchSettleUs = 500'000;
// How long SDL may go without a look at its events while nothing comes in: its own chores
// (a Ctrl+C that came between waits, keeping the screensaver off) wait at most this long.
constexpr std::int64_t kQuietLookUs = 50'000;

// The title tells of the help: a player who never read the manual finds it there.
constexpr const char* kTitle = core::trLater("Hearthly (F1: help)");
constexpr const char* kPausedTitle = core::trLater("Hearthly (paused; F1: help)");

bool mouseButtonHeld() {
    // Asks the X server, not the event queue: while the window manager holds a border drag,
    // the button's release never reaches the game.
    return SDL_GetGlobalMouseState(nullptr, nullptr) != 0;
}

// The window an input or window event is meant for; 0 for events of no window.
std::uint32_t windowOf(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    default:
        return 0;
    }
}

} // namespace

WindowLoop::WindowLoop(SdlWindow& window, game::Game& game, SdlClock& clock)
    : window_(window), game_(game), clock_(clock), lastClient_(window.drawableRect()),
      minimised_(window.minimised()) {}

int WindowLoop::run() {
    SDL_StartTextInput();
    updateTitle();
    updateFrameTimer();
    while (!quit_) {
        const std::int64_t wait = nextWakeUp();
        SDL_Event event;
        int got = 0;
        if (wait < 0) {
            // Minimised: nothing to do until the window system says something.
            got = SDL_WaitEvent(&event);
            if (!got) {
                std::fprintf(stderr, "%s\n",
                             core::trFill("hearthly: lost the window system (%s)", {SDL_GetError()}).c_str());
                return 1;
            }
        } else if (const SdlWindow::Waited waited = window_.waitForEvents(wait);
                   waited != SdlWindow::Waited::Unable) {
            // A look costs SDL several reads of the connection; a frame with nothing come in
            // and nothing queued needs none. During a drag it always looks: whether the border
            // is still in hand is read from what SDL last gathered.
            if (waited == SdlWindow::Waited::Input || drag_.dragging() ||
                clock_.microseconds() - lastLookUs_ >= kQuietLookUs)
                got = look(event);
        } else if (wait >= kPreciseTailUs) {
            // SDL waits in whole milliseconds, and may wake up to one early or late. It is asked
            // to wake a little before the deadline; the rest is slept precisely below.
            got = SDL_WaitEventTimeout(&event, static_cast<int>((wait - kPreciseTailUs) / 1000) + 1);
            lastLookUs_ = clock_.microseconds();
        } else {
            // The last stretch before a frame: the game drops a frame that comes less than
            // 9.9 ms after the previous one, so a deadline missed by jitter costs a whole frame.
            if (wait > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(wait));
            got = look(event);
        }
        if (got) {
            handle(event);
            while (!quit_ && SDL_PollEvent(&event))
                handle(event);
            // Not in the middle of a border drag: the size that counts is the one it ends at.
            if (keepSettings_ && !drag_.dragging())
                keepSettings_();
        }
        if (quit_)
            break;
        // Like the classic paint message, window-system repaints wait until the queue is empty
        // and then happen once.
        if (paintPending_) {
            paintPending_ = false;
            game_.paint(true);
            if (recorder_)
                recorder_->expose();
        }
        if (drag_.timeUntilEnd(clock_.microseconds()) == 0) {
            if (const auto clientBefore = drag_.finish(clock_.microseconds(), mouseButtonHeld()))
                endDrag(*clientBefore);
        }
        if (playback_) {
            playback_->advance(clock_.microseconds());
            updateTitle(); // the recorded player may have paused
        } else if (frames_.takeDue(clock_.microseconds())) {
            game_.tick(false);
            if (recorder_)
                recorder_->tick();
        }
    }
    if (keepSettings_)
        keepSettings_();
    return exitStatus_;
}

int WindowLoop::look(SDL_Event& event) {
    lastLookUs_ = clock_.microseconds();
    return SDL_PollEvent(&event);
}

std::int64_t WindowLoop::nextWakeUp() {
    const std::int64_t now = clock_.microseconds();
    const std::int64_t frame = playback_ ? playback_->timeUntilDue(now) : frames_.timeUntilDue(now);
    const std::int64_t dragEnd = drag_.timeUntilEnd(now);
    if (frame < 0)
        return dragEnd;
    if (dragEnd < 0)
        return frame;
    return std::min(frame, dragEnd);
}

void WindowLoop::handle(const SDL_Event& event) {
    if (about_ && windowOf(event) == about_->id()) {
        if (about_->handle(event))
            about_.reset();
        return;
    }
    switch (event.type) {
    case SDL_QUIT:
        quit_ = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.windowID == window_.id())
            handleWindowEvent(event.window);
        break;
    case SDL_TEXTINPUT:
        if (event.text.windowID == window_.id())
            handleText(event.text.text);
        break;
    case SDL_KEYDOWN:
        if (event.key.windowID != window_.id())
            break;
        // Esc types no text, so it is taken from key presses, as are the full-screen keys.
        if (event.key.keysym.sym == SDLK_ESCAPE)
            handleKey(kEscape);
        else if (event.key.keysym.sym == SDLK_F1 && event.key.repeat == 0)
            handleKey(game::Game::kHelpKey);
        else if (event.key.keysym.sym == SDLK_F11 && event.key.repeat == 0)
            toggleFullscreen();
        else if ((event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER) &&
                 (event.key.keysym.mod & KMOD_ALT) != 0 && event.key.repeat == 0)
            toggleFullscreen();
        break;
    case SDL_MOUSEMOTION:
        // A recording being played takes no pointer: the player's own reaches the game.
        if (event.motion.windowID == window_.id() && !playback_) {
            const gfx::PointF world = worldAt(event.motion.x, event.motion.y);
            game_.onPointerMove(world);
            if (recorder_)
                recorder_->move(world);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.windowID == window_.id() && event.button.button == SDL_BUTTON_LEFT && !playback_) {
            const gfx::PointF world = worldAt(event.button.x, event.button.y);
            game_.onPointerClick(world);
            if (recorder_)
                recorder_->click(world);
        }
        break;
    default:
        break;
    }
}

void WindowLoop::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        quit_ = true;
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        paintPending_ = true;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        sizeChanged();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        minimised_ = true;
        updateFrameTimer();
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        // A maximised window takes the size the window manager gives it; no aspect correction.
        drag_.cancel();
        minimised_ = false;
        updateFrameTimer();
        break;
    case SDL_WINDOWEVENT_RESTORED:
        minimised_ = false;
        updateFrameTimer();
        break;
    default:
        break;
    }
}

void WindowLoop::sizeChanged() {
    const gfx::RectI now = window_.drawableRect();
    if (now == lastClient_)
        return;
    // Every size change repaints the whole client area, as the window asks to be redrawn on
    // horizontal and vertical resizes.
    paintPending_ = true;
    const bool ours = window_.takeOwnResize(now);
    const bool switching = clock_.microseconds() < switchSettlesUs_;
    if (!ours && !switching && !window_.maximised()) {
        drag_.sizeChanged(clock_.microseconds(), lastClient_);
        updateFrameTimer();
    }
    lastClient_ = now;
}

gfx::PointF WindowLoop::worldAt(int x, int y) const {
    const auto p = window_.mouseMapping().toPixels(x, y);
    return game_.toWorld(p.x, p.y);
}

void WindowLoop::endDrag(const gfx::RectI& clientBefore) {
    if (!window_.maximised() && !window_.minimised()) {
        // A window manager that ignores the minimum size may leave the window at next to
        // nothing, where no aspect can be measured; it comes back at the smallest size.
        const gfx::RectI client = window_.drawableRect();
        if (client.width < SdlWindow::kMinimumWidth || client.height < SdlWindow::kMinimumHeight)
            window_.resizeClient(SdlWindow::kMinimumWidth, SdlWindow::kMinimumHeight);
        else {
            game_.fitAspect(clientBefore);
            if (recorder_)
                recorder_->fit(clientBefore);
        }
    }
    updateFrameTimer();
}

void WindowLoop::toggleFullscreen() {
    drag_.cancel();
    window_.setFullscreen(!window_.fullscreen());
    switchSettlesUs_ = clock_.microseconds() + kSwitchSettleUs;
    // The whole picture is drawn afresh at the new size, even where the size came out the same.
    game_.renderer().requestFullRedraw();
    if (recorder_)
        recorder_->redraw();
    paintPending_ = true;
    updateFrameTimer();
}

void WindowLoop::enterFullscreen() {
    if (!window_.fullscreen())
        toggleFullscreen();
}

void WindowLoop::showAbout() {
    if (about_) {
        about_->raise();
        return;
    }
    std::string error;
    about_ = AboutWindow::open(window_.handle(), core::tr(game::Game::kAboutTitle),
                               core::tr(game::Game::kAboutText), error);
    if (!about_)
        std::fprintf(stderr, "%s\n", error.c_str());
}

void WindowLoop::updateTitle() {
    const bool paused = game_.world().settings().paused || (playback_ && playback_->paused());
    if (paused == titlePaused_)
        return;
    titlePaused_ = paused;
    window_.setTitle(core::tr(paused ? kPausedTitle : kTitle));
}

void WindowLoop::updateFrameTimer() {
    // The simulation freezes while the window is minimised or its border is dragged; the game
    // measures real time, so its first frame afterwards takes one capped step.
    if (minimised_ || drag_.dragging())
        frames_.stop();
    else
        frames_.start(clock_.microseconds());
}

void WindowLoop::handleText(std::string_view utf8) {
    for (const char32_t ch : core::Utf8Decoder::decode(utf8)) {
        if (quit_)
            return;
        handleKey(ch);
    }
}

void WindowLoop::handleKey(char32_t ch) {
    const game::Game::KeyAction action =
        playback_ ? playback_->viewerKey(ch, clock_.microseconds()) : game_.onKey(ch);
    if (recorder_)
        recorder_->key(ch);
    switch (action) {
    case game::Game::KeyAction::Quit:
        quit_ = true;
        exitStatus_ = 0;
        break;
    case game::Game::KeyAction::ShowAbout:
        // The box is a window of its own: the game goes on beside it.
        showAbout();
        break;
    case game::Game::KeyAction::None:
        break;
    }
    updateTitle();
}

} // namespace platform
