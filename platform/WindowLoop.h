#pragma once

#include "platform/AboutWindow.h"
#include "platform/DragDetector.h"
#include "platform/FrameScheduler.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace game {
class Game;
}
namespace record {
class SessionRecorder;
class WindowPlayback;
} // namespace record
union SDL_Event;
struct SDL_WindowEvent;

namespace platform {

class SdlClock;
class SdlWindow;

// The game's message loop: waits for SDL's events or the next frame deadline, whichever comes
// first, and turns events into the game's input, paints and frames. Everything runs on this
// one thread.
class WindowLoop {
public:
    WindowLoop(SdlWindow& window, game::Game& game, SdlClock& clock);

    // Writes down everything the game is handed (hearthly --record).
    void record(record::SessionRecorder& recorder) { recorder_ = &recorder; }
    // Plays a recording instead of the player's input and the frame timer (hearthly --play).
    void play(record::WindowPlayback& playback) { playback_ = &playback; }

    // Called after whatever the player did and as the loop ends, to keep what is worth keeping
    // (the player's settings); the window's program alone hands one in.
    void keepSettings(std::function<void()> keep) { keepSettings_ = std::move(keep); }

    // Full screen from the start (the player left the game so).
    void enterFullscreen();

    // Runs until the player quits; returns the exit status.
    int run();

private:
    void handle(const SDL_Event& event);
    void handleWindowEvent(const SDL_WindowEvent& event);
    void handleText(std::string_view utf8);
    void handleKey(char32_t ch);
    void sizeChanged();
    void toggleFullscreen();
    void showAbout();
    // The title tells whether the game is paused.
    void updateTitle();
    void endDrag(const gfx::RectI& clientBefore);
    // The world point under the pointer at window point (x, y).
    gfx::PointF worldAt(int x, int y) const;
    // Starts or stops the frame timer after the window's state changed.
    void updateFrameTimer();
    // Microseconds until the next frame or drag end, -1 when there is nothing to wait for.
    std::int64_t nextWakeUp();
    // Has SDL gather what the window system sent and takes the first event, if any.
    int look(SDL_Event& event);

    SdlWindow& window_;
    game::Game& game_;
    SdlClock& clock_;
    FrameScheduler frames_;
    DragDetector drag_;
    std::unique_ptr<AboutWindow> about_;
    record::SessionRecorder* recorder_ = nullptr;
    record::WindowPlayback* playback_ = nullptr;
    std::function<void()> keepSettings_;
    gfx::RectI lastClient_;
    // Size changes until then are the window manager carrying out a full-screen switch.
    std::int64_t switchSettlesUs_ = 0;
    // When SDL last gathered the window system's events.
    std::int64_t lastLookUs_ = 0;
    // Set while the title says the game is paused; the first title is set by updateTitle.
    std::optional<bool> titlePaused_;
    bool minimised_ = false;
    bool paintPending_ = false;
    bool quit_ = false;
    int exitStatus_ = 0;
};

} // namespace platform
