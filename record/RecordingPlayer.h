#pragma once

#include "core/Clock.h"
#include "game/Game.h"
#include "record/Recording.h"

#include <istream>
#include <memory>
#include <string>

namespace record {

// Hands the events of a recording to a game on a virtual clock, as the window loop handed
// them to the game that was recorded. Window events (size, minimize, restore) concern the
// window the game is shown in and are left to the caller.
class RecordingPlayer {
public:
    enum class Result { Nothing, Ticked, Quit, About };
    static Result apply(const ReplayEvent& event, game::Game& game, core::VirtualClock& clock);

    // Reads the whole recording and checks every line, so that a damaged file is refused
    // before anything is played. The problem, naming the file and the line, goes to error.
    static bool check(const std::string& fileName, RecordingHeader& header, std::string& error);
    // Opens the file and reads its header (already checked).
    static std::unique_ptr<std::istream> open(const std::string& fileName, std::string& error);
};

// hearthly --play: the recorded session in a window, in real time. The viewer may pause the
// playback and switch the debug views; nothing the viewer does reaches the simulation.
class WindowPlayback {
public:
    // A single recorded step longer than this (a window left minimised) is waited for only so long.
    static constexpr std::int64_t kLongestWaitUs = 1'000'000;

    WindowPlayback(std::unique_ptr<std::istream> file, game::Game& game, core::VirtualClock& clock);

    const RecordingHeader& header() const { return reader_.header(); }
    // Reads the header; false with the problem in error.
    bool start(std::string& error);

    // Microseconds until the next timer call is due: 0 when it is due now, -1 when paused or
    // when the recording has ended.
    std::int64_t timeUntilDue(std::int64_t nowUs);
    // Plays the events up to and including the timer call that is due.
    void advance(std::int64_t nowUs);
    // A key the viewer pressed: 'p' pauses the playback, 'q' and Esc quit, 'h' shows the About
    // box, and the debug views work as in the game; every other key is ignored.
    game::Game::KeyAction viewerKey(char32_t key, std::int64_t nowUs);

    bool paused() const { return paused_; }
    bool ended() const { return ended_; }
    // Timer calls played so far.
    long long ticks() const { return ticks_; }
    // Why the playback ended early, if it did (a damaged line); empty otherwise.
    const std::string& problem() const { return problem_; }

private:
    // Applies events up to the next timer call, which is kept for its time.
    void readAhead();
    void end(const std::string& problem);

    std::unique_ptr<std::istream> file_;
    RecordingReader reader_;
    game::Game& game_;
    core::VirtualClock& clock_;
    std::optional<ReplayEvent> nextTick_;
    std::optional<std::int64_t> lastDueUs_;
    std::int64_t pausedAtUs_ = 0;
    bool paused_ = false;
    bool ended_ = false;
    long long ticks_ = 0;
    std::string problem_;
};

} // namespace record
