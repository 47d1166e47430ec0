#include "record/SessionRecorder.h"

#include "core/Translate.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace record {

namespace {

constexpr std::int64_t kFlushEveryUs = 1'000'000;

} // namespace

std::int64_t SessionRecorder::Clock::counter() {
    if (!read_)
        read_ = time_();
    return *read_;
}

std::optional<std::int64_t> SessionRecorder::Clock::take() {
    const std::optional<std::int64_t> read = read_;
    read_.reset();
    return read;
}

gfx::RectI SessionRecorder::Window::clientRect() {
    const gfx::RectI client = inner_->clientRect();
    recorder_.clientSeen(client);
    return client;
}

void SessionRecorder::Window::present(const gfx::Surface& backBuffer,
                                      std::span<const gfx::RectI> deviceRects) {
    inner_->present(backBuffer, deviceRects);
}

void SessionRecorder::Window::resizeClient(int width, int height) {
    // What comes of it reaches the game as a new client area, and is written down then.
    inner_->resizeClient(width, height);
}

std::unique_ptr<SessionRecorder> SessionRecorder::create(const std::string& fileName, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec)) {
        error = "cannot record to " + fileName + ": it is a folder";
        return nullptr;
    }
    std::FILE* file = std::fopen(fileName.c_str(), "w");
    if (file == nullptr) {
        error = "cannot record to " + fileName + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<SessionRecorder>(new SessionRecorder(file, fileName));
}

SessionRecorder::SessionRecorder(std::FILE* file, std::string fileName)
    : file_(file), fileName_(std::move(fileName)) {}

bool SessionRecorder::begin(const RecordingHeader& header, const std::string& recordedBy,
                            game::WindowPort& window, TimeSource time, std::string& error) {
    begun_ = true;
    window_.setInner(window);
    clock_.setSource(std::move(time));
    width_ = header.clientWidth;
    height_ = header.clientHeight;
    recordedUs_ = clock_.now();
    flushedUs_ = recordedUs_;
    // The header goes out at once: a file that cannot take it is refused before play starts.
    if (std::fputs(recordingHeaderText(header, recordedBy).c_str(), file_) == EOF ||
        std::fflush(file_) != 0) {
        error = "cannot record to " + fileName_ + ": " + std::strerror(errno);
        broken_ = true;
        return false;
    }
    return true;
}

SessionRecorder::~SessionRecorder() {
    if (file_ != nullptr)
        std::fclose(file_);
    // A game that never started (no display, no window) leaves no empty recording behind.
    if (!begun_) {
        std::error_code ec;
        std::filesystem::remove(fileName_, ec);
    }
}

void SessionRecorder::clientSeen(const gfx::RectI& client) {
    // The game tells an empty client area from no other; it is written as a minimised window.
    if (client.width <= 0 || client.height <= 0) {
        if (!minimized_) {
            minimized_ = true;
            write("minimize\n");
            flush();
        }
        return;
    }
    if (minimized_) {
        minimized_ = false;
        write("restore\n");
    }
    if (client.width != width_ || client.height != height_) {
        width_ = client.width;
        height_ = client.height;
        write("size " + std::to_string(width_) + " " + std::to_string(height_) + "\n");
    }
}

long long SessionRecorder::stepTo(std::int64_t now) {
    long long step = std::max<std::int64_t>(0, now - recordedUs_);
    recordedUs_ += step;
    // A window left minimised for days is written as several steps the reader accepts.
    while (step > ReplayScript::kLongestStepUs) {
        write("clock " + std::to_string(ReplayScript::kLongestStepUs) + "\n");
        step -= ReplayScript::kLongestStepUs;
    }
    return step;
}

void SessionRecorder::tick() {
    const std::optional<std::int64_t> read = clock_.take();
    // A paused game does not look at the clock; the line still says when the call came.
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Tick;
    event.micros = stepTo(read ? *read : clock_.now());
    write(recordingLine(event) + "\n");
    ++ticks_;
    if (recordedUs_ - flushedUs_ >= kFlushEveryUs)
        flush();
}

void SessionRecorder::afterCall(const ReplayEvent& event) {
    if (const std::optional<std::int64_t> read = clock_.take()) {
        ReplayEvent clock;
        clock.kind = ReplayEvent::Kind::Clock;
        clock.micros = stepTo(*read);
        if (clock.micros > 0)
            write(recordingLine(clock) + "\n");
    }
    write(recordingLine(event) + "\n");
}

void SessionRecorder::key(char32_t key) {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Key;
    event.key = key;
    afterCall(event);
}

namespace {

// A world point as recorded: whole units (the game floors pointer positions to them).
bool toRecorded(gfx::PointF world, ReplayEvent& event) {
    constexpr double far = ReplayScript::kFarthestPoint;
    if (!std::isfinite(world.x) || !std::isfinite(world.y) || std::abs(world.x) > far ||
        std::abs(world.y) > far)
        return false;
    event.x = static_cast<int>(world.x);
    event.y = static_cast<int>(world.y);
    return true;
}

} // namespace

void SessionRecorder::move(gfx::PointF world) {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Move;
    if (toRecorded(world, event))
        afterCall(event);
}

void SessionRecorder::click(gfx::PointF world) {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Click;
    if (toRecorded(world, event))
        afterCall(event);
}

void SessionRecorder::expose() {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Expose;
    afterCall(event);
}

void SessionRecorder::fit(const gfx::RectI& clientBefore) {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Fit;
    event.x = std::clamp(clientBefore.width, 1, ReplayScript::kLargestSide);
    event.y = std::clamp(clientBefore.height, 1, ReplayScript::kLargestSide);
    afterCall(event);
}

void SessionRecorder::redraw() {
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Redraw;
    afterCall(event);
}

bool SessionRecorder::finish() {
    if (file_ == nullptr)
        return !broken_;
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::End;
    afterCall(event);
    flush();
    if (std::fclose(file_) != 0 && !broken_)
        failed();
    file_ = nullptr;
    return !broken_;
}

void SessionRecorder::write(const std::string& line) {
    if (broken_ || file_ == nullptr)
        return;
    if (std::fputs(line.c_str(), file_) == EOF)
        failed();
}

void SessionRecorder::flush() {
    flushedUs_ = recordedUs_;
    if (broken_ || file_ == nullptr)
        return;
    if (std::fflush(file_) != 0)
        failed();
}

void SessionRecorder::failed() {
    // A full disk must not end the game: say so once and play on unrecorded.
    if (!broken_)
        std::fprintf(stderr, "%s\n",
                     core::trFill("hearthly: cannot write the recording %s (%s); the game goes on unrecorded",
                                  {fileName_, std::strerror(errno)})
                         .c_str());
    broken_ = true;
}

} // namespace record
