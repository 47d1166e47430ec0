#include "record/RecordingPlayer.h"

#include "core/Translate.h"
#include "scene/World.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace record {

using Kind = ReplayEvent::Kind;

RecordingPlayer::Result RecordingPlayer::apply(const ReplayEvent& event, game::Game& game,
                                               core::VirtualClock& clock) {
    const auto world = [&] { return gfx::PointF{static_cast<float>(event.x), static_cast<float>(event.y)}; };
    switch (event.kind) {
    case Kind::Tick:
        clock.advanceMicroseconds(event.micros);
        game.tick(false);
        return Result::Ticked;
    case Kind::Clock:
        clock.advanceMicroseconds(event.micros);
        break;
    case Kind::Key:
        switch (game.onKey(event.key)) {
        case game::Game::KeyAction::Quit:
            return Result::Quit;
        case game::Game::KeyAction::ShowAbout:
            return Result::About;
        case game::Game::KeyAction::None:
            break;
        }
        break;
    case Kind::Move:
        game.onPointerMove(world());
        break;
    case Kind::Click:
        game.onPointerClick(world());
        break;
    case Kind::Expose:
        game.paint(true);
        break;
    case Kind::Fit:
        game.fitAspect({0, 0, event.x, event.y});
        break;
    case Kind::Redraw:
        game.renderer().requestFullRedraw();
        break;
    default:
        break;
    }
    return Result::Nothing;
}

std::unique_ptr<std::istream> RecordingPlayer::open(const std::string& fileName, std::string& error) {
    // A folder opens like a file and reads as nothing.
    std::error_code ec;
    errno = 0;
    auto file = std::make_unique<std::ifstream>(fileName, std::ios::binary);
    const int openError = errno;
    if (!*file || std::filesystem::is_directory(fileName, ec)) {
        // The system's reason: no such file, permission denied, is a directory.
        const int why = *file ? EISDIR : openError != 0 ? openError : EIO;
        error = "cannot read recording " + fileName + " (" + std::strerror(why) + ")";
        return nullptr;
    }
    return file;
}

bool RecordingPlayer::check(const std::string& fileName, RecordingHeader& header, std::string& error) {
    const std::unique_ptr<std::istream> file = open(fileName, error);
    if (!file)
        return false;
    RecordingReader reader(*file, game::Game::kWorldWidth, game::Game::kWorldHeight);
    std::string problem;
    if (!reader.readHeader(problem)) {
        error = fileName + " " + problem;
        return false;
    }
    header = reader.header();
    ReplayEvent event;
    RecordingReader::Next next = RecordingReader::Next::Event;
    while ((next = reader.next(event, problem)) == RecordingReader::Next::Event) {
    }
    if (next == RecordingReader::Next::Error) {
        error = fileName + " " + problem;
        return false;
    }
    return true;
}

WindowPlayback::WindowPlayback(std::unique_ptr<std::istream> file, game::Game& game,
                               core::VirtualClock& clock)
    : file_(std::move(file)), reader_(*file_, game::Game::kWorldWidth, game::Game::kWorldHeight), game_(game),
      clock_(clock) {}

bool WindowPlayback::start(std::string& error) {
    return reader_.readHeader(error);
}

void WindowPlayback::end(const std::string& problem) {
    // Said once, for the viewer (and for the tests that wait for it); the window stays.
    if (!problem.empty())
        std::fprintf(
            stderr, "%s\n",
            core::trFill("hearthly: the recording is damaged at %s; the playback stops there", {problem})
                .c_str());
    else
        std::fprintf(stderr, "%s\n", core::tr("hearthly: the recording has ended"));
    ended_ = true;
    problem_ = problem;
    nextTick_.reset();
}

void WindowPlayback::readAhead() {
    while (!ended_ && !nextTick_) {
        ReplayEvent event;
        std::string problem;
        switch (reader_.next(event, problem)) {
        case RecordingReader::Next::Event:
            break;
        case RecordingReader::Next::Error:
            end(problem);
            return;
        default:
            // A line cut off by a crash ends the playback as the end of the file would.
            if (!problem.empty())
                std::fprintf(stderr, "%s\n", core::trFill("hearthly: the recording's %s", {problem}).c_str());
            end({});
            return;
        }
        switch (event.kind) {
        case Kind::Tick:
            nextTick_ = event;
            break;
        // The viewer's window is the viewer's: the player's sizes, repaints and drag ends only
        // decided how the player's picture was drawn, never what happened.
        case Kind::Size:
        case Kind::Minimize:
        case Kind::Restore:
        case Kind::Expose:
        case Kind::Fit:
        case Kind::Redraw:
            break;
        default:
            if (RecordingPlayer::apply(event, game_, clock_) == RecordingPlayer::Result::Quit)
                end({});
            break;
        }
    }
}

std::int64_t WindowPlayback::timeUntilDue(std::int64_t nowUs) {
    readAhead();
    if (paused_ || ended_ || !nextTick_)
        return -1;
    if (!lastDueUs_)
        return 0;
    const std::int64_t due = *lastDueUs_ + std::min<std::int64_t>(nextTick_->micros, kLongestWaitUs);
    return due > nowUs ? due - nowUs : 0;
}

void WindowPlayback::advance(std::int64_t nowUs) {
    if (timeUntilDue(nowUs) != 0)
        return;
    const ReplayEvent tick = *nextTick_;
    nextTick_.reset();
    const std::int64_t due =
        lastDueUs_ ? *lastDueUs_ + std::min<std::int64_t>(tick.micros, kLongestWaitUs) : nowUs;
    // A viewer that fell far behind (a stall) goes on from now rather than racing to catch up.
    constexpr std::int64_t kLongestLagUs = 250'000;
    lastDueUs_ = nowUs - due > kLongestLagUs ? nowUs : due;
    RecordingPlayer::apply(tick, game_, clock_);
    ++ticks_;
    readAhead();
}

game::Game::KeyAction WindowPlayback::viewerKey(char32_t key, std::int64_t nowUs) {
    switch (key) {
    case 27:
    case U'q':
        return game::Game::KeyAction::Quit;
    case U'h':
        return game::Game::KeyAction::ShowAbout;
    case U'p':
        paused_ = !paused_;
        if (paused_)
            pausedAtUs_ = nowUs;
        else if (lastDueUs_)
            *lastDueUs_ += nowUs - pausedAtUs_;
        return game::Game::KeyAction::None;
    case U'b':
    case U'c':
    case U'f':
    case U'j':
    case U'k':
    case U'l':
    case U'r': {
        // A view is not a cheat: the recorded player's record stays as it was.
        const bool cheated = game_.world().settings().cheatUsed;
        game_.onKey(key);
        game_.world().settings().cheatUsed = cheated;
        return game::Game::KeyAction::None;
    }
    default:
        return game::Game::KeyAction::None;
    }
}

} // namespace record
