#pragma once

#include "core/Clock.h"
#include "game/WindowPort.h"
#include "gfx/Geometry.h"
#include "record/Recording.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace record {

// Writes down a session played in the real window as it goes (hearthly --record): the game
// measures time through its clock and learns the client area through its window, so the
// recorder hands the game a clock and a window of its own that note what the game saw, and
// the window loop tells it of every input it passed on. The file is flushed at least once a
// second of play, so a crash or a kill loses no more than that.
class SessionRecorder {
public:
    // Microseconds on a monotonic scale: where the real time comes from.
    using TimeSource = std::function<std::int64_t()>;

    // Creates (or empties) the file, before anything else starts, so that one that cannot be
    // written is refused at once; nothing, with a one-line reason in error, then.
    static std::unique_ptr<SessionRecorder> create(const std::string& fileName, std::string& error);
    // Writes the header, once the game's seed and its window are there; false when even that
    // cannot be written.
    bool begin(const RecordingHeader& header, const std::string& recordedBy, game::WindowPort& window,
               TimeSource time, std::string& error);
    ~SessionRecorder();
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

    // What the game must be attached to.
    core::Clock& clock() { return clock_; }
    game::WindowPort& window() { return window_; }

    // After the game was handed each of these.
    void tick();
    void key(char32_t key);
    void move(gfx::PointF world);
    void click(gfx::PointF world);
    void expose();
    void fit(const gfx::RectI& clientBefore);
    void redraw();
    // Hands what was written so far to the file, so that a copy of it holds the session up to
    // the last call.
    void flush();
    // Writes the end line and closes the file; false if anything could not be written.
    bool finish();

    long long ticks() const { return ticks_; }

private:
    // The game's clock: real time in microseconds, read once per call into the game, so the
    // one value the game saw can be written down.
    class Clock final : public core::Clock {
    public:
        void setSource(TimeSource time) { time_ = std::move(time); }
        std::int64_t counter() override;
        std::int64_t frequency() override { return 1'000'000; }
        std::int64_t now() { return time_(); }
        std::optional<std::int64_t> take();

    private:
        TimeSource time_;
        std::optional<std::int64_t> read_;
    };

    // The game's window: the real one, noting every client area the game is told of.
    class Window final : public game::WindowPort {
    public:
        explicit Window(SessionRecorder& recorder) : recorder_(recorder) {}
        void setInner(game::WindowPort& inner) { inner_ = &inner; }
        gfx::RectI clientRect() override;
        void present(const gfx::Surface& backBuffer, std::span<const gfx::RectI> deviceRects) override;
        void resizeClient(int width, int height) override;
        SharedPixels sharedPixels() override { return inner_->sharedPixels(); }

    private:
        game::WindowPort* inner_ = nullptr;
        SessionRecorder& recorder_;
    };

    SessionRecorder(std::FILE* file, std::string fileName);
    void clientSeen(const gfx::RectI& client);
    // The clock line for a call that read the clock, then the event's own line.
    void afterCall(const ReplayEvent& event);
    // Advances the recorded clock to now: clock lines for all but what a last line carries.
    long long stepTo(std::int64_t now);
    void write(const std::string& line);
    void failed();

    std::FILE* file_;
    std::string fileName_;
    Clock clock_;
    Window window_{*this};
    std::int64_t recordedUs_ = 0;
    std::int64_t flushedUs_ = 0;
    long long ticks_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool minimized_ = false;
    bool broken_ = false;
    bool begun_ = false;
};

} // namespace record
